#include "core/report/ReportText.h"

#include <cmath>
#include <new>

#include "core/base/NumberText.h"

namespace ombrel {

namespace {

constexpr std::string_view StarLine = "                       *     *     *";
constexpr int EndReportMinimumLine = 21;
constexpr std::uint32_t FinishPadUpTo = 22;

bool IsMarker(char ch) { return ch == BoldMarker || ch == UnderlineMarker || ch == ItalicMarker; }

}  // namespace

TReportText::TReportText() { mText.reserve(50000); }

void TReportText::BeginReport() {
  mColumn = 1;
  mKeepApart = false;
  mLine = 1;
  mBold = false;
  mUnderline = false;
}

void TReportText::ResetReport() {
  mText.clear();
  mLineIndex.clear();
  mLineCount = 0;
  mReadPosition = 0;
  mAtEnd = false;
  mSawNonFinite = false;
  mRecorder.Clear();
}

void TReportText::AppendChar(char ch) {
  if (IsMarker(ch)) {
    mRecorder.OnChar(ch, static_cast<int>(mLineCount));
    if (mText.size() < MaxReportBytes) mText.push_back(ch);
    return;
  }
  const bool blank = static_cast<unsigned char>(ch) < 33;
  // The blank that keeps two fields apart comes first, in the text and in
  // what the recorder sees.
  if (mKeepApart) {
    mKeepApart = false;
    if (!blank) AppendChar(' ');
  }
  mRecorder.OnChar(ch, static_cast<int>(mLineCount));
  if (mText.size() < MaxReportBytes) mText.push_back(ch);
  ++mColumn;
  mAfterBlank = blank;
}

void TReportText::AppendRaw(std::string_view text) {
  for (char ch : text) AppendChar(ch);
}

void TReportText::WriteText(std::string_view text) {
  AppendRaw(text.substr(0, static_cast<std::size_t>(MaxTextPerWrite)));
}

void TReportText::WriteLine(std::string_view text) {
  WriteText(text);
  NewLine();
}

void TReportText::NewLine() {
  if (mBold) AppendChar(BoldMarker);
  if (mUnderline) AppendChar(UnderlineMarker);
  mKeepApart = false;
  AppendChar('\r');
  AppendChar('\n');
  if (mBold) AppendChar(BoldMarker);
  if (mUnderline) AppendChar(UnderlineMarker);
  mColumn = 1;
  ++mLine;
  ++mLineCount;
}

// The number's text, recorded with its value and format (scientific when
// the text has an exponent) where it stands on its line.
void TReportText::AppendNumber(std::string_view text, TReal value, TNumberForm form, int decimals) {
  const int first = mColumn - 1;
  AppendRaw(text);
  const std::string shown = PadRight(text, 0);
  if (IsEmpty(value) || shown.empty()) return;
  if (form == TNumberForm::Fixed && shown.find('E') != std::string::npos) form = TNumberForm::Scientific;
  mRecorder.OnNumber({static_cast<int>(mLineCount), first, mColumn - 1, value, shown, form, decimals});
}

void TReportText::WriteNumber(TReal value, int digits) {
  if (!std::isfinite(value)) {
    mSawNonFinite = true;
    return;
  }
  const int decimals = DecimalsForDigits(value, digits);
  AppendNumber(NumberText(value, WidthForDigits(value, digits), decimals), value, TNumberForm::Fixed, decimals);
}

void TReportText::WriteNumberIn(int width, TReal value, int digits) {
  if (!std::isfinite(value)) {
    mSawNonFinite = true;
    return;
  }
  const int decimals = DecimalsForDigits(value, digits);
  AppendNumber(NumberText(value, width, decimals), value, TNumberForm::Fixed, decimals);
}

void TReportText::WriteNumberTrimmed(TReal value, int decimals) {
  if (!std::isfinite(value)) {
    mSawNonFinite = true;
    return;
  }
  if (IsEmpty(value)) return;
  AppendNumber(NumberText(value, 0, decimals), value, TNumberForm::Fixed, decimals);
}

void TReportText::WriteInteger(std::int32_t value) {
  AppendNumber(std::to_string(value), static_cast<TReal>(value), TNumberForm::Integer, 0);
}

void TReportText::WriteIntegerIn(int width, std::int64_t value) {
  AppendNumber(PadLeft(std::to_string(value), width), static_cast<TReal>(value), TNumberForm::Integer, 0);
}

void TReportText::MarkHeading(int level) {
  if (mColumn == 1) mRecorder.OnHeading(static_cast<int>(mLineCount), level);
}

void TReportText::TabTo(int column) {
  if (mColumn >= column) {
    KeepFieldsApart();
    return;
  }
  while (mColumn < column) AppendChar(' ');
}

// A field that reached or passed the stop where the next one starts would
// otherwise run into it ("to0.005060"): the next field gets one blank before
// it unless it starts with one itself.
void TReportText::KeepFieldsApart() {
  if (mColumn > 1 && !mAfterBlank) mKeepApart = true;
}

void TReportText::WriteDoubleRule(int count) {
  for (int i = 0; i < count; ++i) AppendChar('=');
}

void TReportText::WriteSingleRule(int count) {
  for (int i = 0; i < count; ++i) AppendChar('-');
}

void TReportText::ToggleBold() {
  mBold = !mBold;
  AppendChar(BoldMarker);
}

void TReportText::ToggleUnderline() {
  mUnderline = !mUnderline;
  AppendChar(UnderlineMarker);
}

void TReportText::ClearTabStops() { mTabStops.fill(0); }

void TReportText::AddTabStop(int column) {
  for (int& stop : mTabStops) {
    if (stop == 0) {
      stop = column;
      return;
    }
  }
}

void TReportText::NextTabStop() {
  for (int stop : mTabStops) {
    if (stop == 0) break;
    if (stop > mColumn) {
      TabTo(stop);
      return;
    }
  }
  KeepFieldsApart();
}

void TReportText::WritePValueSentence(int tails, bool withWording, TReal p) {
  WriteText("The ");
  if (tails == 1) WriteText("one-tailed ");
  if (tails == 2) WriteText("two-tailed ");
  WriteText("P value is ");
  if (!std::isfinite(p)) {
    mSawNonFinite = true;
  } else if (p <= 0.0001L) {
    WriteText("< 0.0001");
  } else if (p < 0.9999L) {
    WriteNumber(p, 4);
  } else {
    WriteText("> 0.9999");
  }
  if (withWording) {
    WriteText(", considered ");
    WriteSignificanceWord(p);
    WriteLine("significant.");
  } else {
    WriteLine(". ");
  }
}

void TReportText::WriteSignificanceWord(TReal p) {
  if (p < 0.001L) {
    WriteText("extremely ");
  } else if (p < 0.01L) {
    WriteText("very ");
  } else if (p < 0.05L) {
    // significant, with no qualifier
  } else if (p < 0.1L) {
    WriteText("not quite ");
  } else {
    WriteText("not ");
  }
}

void TReportText::WriteErrorReport(TStatusCode code) {
  const auto number = static_cast<std::int32_t>(code);
  if (number > 0) {
    ResetReport();
    WriteLine();
    const auto& lines = ErrorMessageLines(code);
    for (std::string_view line : lines) WriteLine(line);
    // A refusal must never read as an empty report, even for a code that
    // has no message of its own.
    if (lines.empty()) WriteLine("The analysis could not be completed (error " + std::to_string(number) + ").");
    WriteLine();
  } else {
    WriteLine();
    WriteLine();
  }
}

void TReportText::EndReport() {
  NewLine();
  WriteLine(StarLine);
  NewLine();
  NewLine();
  ReportHelpTopic = HelpTopic;
  while (mLine < EndReportMinimumLine) NewLine();
}

void TReportText::FinishReport() {
  mRecorder.CloseTable();
  if (mLineCount <= 20) {
    while (mLineCount < FinishPadUpTo) WriteLine();
  }
  if (mText.size() < MaxReportBytes) {
    mText.push_back(EndMarker);
  } else {
    mText.back() = EndMarker;
  }
  mLineIndex.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i < mText.size() && mLineIndex.size() < mLineCount; ++i) {
    const char ch = mText[i];
    if (ch == '\n' || ch == EndMarker) {
      std::size_t length = i - start;
      if (ch == '\n' && length > 0 && mText[i - 1] == '\r') --length;
      mLineIndex.push_back({start, length});
      start = i + 1;
      if (ch == EndMarker) break;
    }
  }
}

void TReportText::TerminateReport() { AppendChar(EndMarker); }

std::optional<std::string_view> TReportText::GetLine(int index) const {
  if (index < 0 || static_cast<std::size_t>(index) >= mLineIndex.size() ||
      static_cast<std::uint32_t>(index) >= mLineCount)
    return std::nullopt;
  const TLineEntry& entry = mLineIndex[static_cast<std::size_t>(index)];
  return std::string_view(mText).substr(entry.Start, entry.Length);
}

bool TReportText::ReadLine(std::string& line) {
  line.clear();
  while (mReadPosition < mText.size()) {
    const char ch = mText[mReadPosition++];
    if (ch == '\n') continue;
    if (ch == '\r') return true;
    if (ch == EndMarker) {
      mAtEnd = true;
      return true;
    }
    if (ch == '\xC4') {
      line.push_back('-');
    } else if (ch == '\xCD') {
      line.push_back('=');
    } else {
      line.push_back(ch);
    }
  }
  mAtEnd = true;
  return true;
}

void TReportText::AppendReport(TReportText& source) {
  source.mRecorder.CloseTable();
  mRecorder.CloseTable();
  const int lineOffset = static_cast<int>(mLineCount);
  source.mReadPosition = 0;
  source.mAtEnd = false;
  std::string line;
  while (!source.mAtEnd) {
    source.ReadLine(line);
    // WriteText would cut at 80 characters; a copied line keeps its length.
    AppendRaw(line);
    NewLine();
  }
  mRecorder.Append(source.Structure(), lineOffset);
}

std::unique_ptr<TReportText> OpenScratchReport() {
  std::unique_ptr<TReportText> report(new (std::nothrow) TReportText);
  if (report) report->BeginReport();
  return report;
}

}  // namespace ombrel
