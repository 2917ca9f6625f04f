#include "core/document/DocumentFile.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

#include "core/base/FileReplace.h"
#include "core/base/Index.h"
#include "core/base/FileText.h"
#include "core/stats/ColumnStats.h"

namespace ombrel {

namespace {

constexpr std::string_view HeaderLine = "Quillvex Ombrel for Windows Version 3.00, 32 bit for Win 95/NT";
constexpr std::string_view EndRawData = "<<END RAW DATA>>";
constexpr std::string_view EndStatData = "<<END STAT DATA>>";
constexpr std::string_view EndChoices = "<<END CHOICES>>";
constexpr std::string_view EndNotes = "<<END NOTES>>";
constexpr std::string_view EndSelectedFlags = "<<END SELECTED FLAGS>>";
constexpr std::string_view EndRowTitles = "<<END ROW TITLES>>";
constexpr std::string_view EndDecimals = "<<END DEC PT DATA>>";
constexpr std::string_view StartExcludeFlags = "<<START EXCLUDE FLAGS>>";
constexpr std::string_view EndExcludeFlags = "<<END EXCLUDE FLAGS>>";
constexpr std::string_view TitlesMarker = "<<TITLES>>";
constexpr std::size_t MaxNotesLength = 8006;
// As many as the number-format dialog offers.
constexpr std::int32_t MaxUserDecimals = 99;
constexpr std::size_t RowTitleIndexWidth = 6;

bool IsMarker(std::string_view line, std::string_view marker) { return TrimBlanks(line) == marker; }

// ---------------------------------------------------------------- writing

class TFileWriter {
 public:
  explicit TFileWriter(std::ostream& out) : mOut(out) {}

  void Line(std::string_view text = {}) { mOut << text << "\r\n"; }
  void Integer(std::int32_t value) { Line(std::to_string(value)); }
  // A choice as the number the file stores for it.
  template <class TChoice>
  void Choice(TChoice value) {
    Integer(static_cast<std::int32_t>(value));
  }
  void Flag(bool value) { Line(value ? "T" : "F"); }
  void Number(TReal value) { Line(FileNumberText(value)); }

 private:
  std::ostream& mOut;
};

void WriteHeader(TFileWriter& out, TDataFormat format) {
  out.Line(HeaderLine);
  const bool multiple = format == TDataFormat::MultipleRegression;
  out.Line(multiple ? "3.00" : "2.00");
  out.Integer(multiple ? 1 : static_cast<std::int32_t>(format));
  out.Line(multiple ? "1" : "");
  out.Line();
  out.Line();
}

void WriteRawData(TFileWriter& out, const TDataTable& table) {
  for (int r = 0; r <= table.LastRow(); ++r) {
    std::string line;
    for (int c = 0; c <= table.LastColumn(); ++c) {
      const TReal value = table.GetValue(r, c);
      line += IsEmpty(value) ? std::string("*") : FileCellText(value, table.AutoDecimals[At(c)]);
      line += ',';
    }
    out.Line(line);
  }
  out.Line(EndRawData);
}

// A notes line that would read as the end of the notes is written with one
// backslash more after it, and read back with one less: "<<END NOTES>>"
// typed into the notes becomes "<<END NOTES>>\" in the file, that one
// "<<END NOTES>>\\", and so on. Returns where that backslash goes, or npos.
std::size_t NotesEscapePosition(std::string_view line) {
  const std::string_view trimmed = TrimBlanks(line);
  if (trimmed.substr(0, EndNotes.size()) != EndNotes) return std::string_view::npos;
  if (trimmed.find_first_not_of('\\', EndNotes.size()) != std::string_view::npos) return std::string_view::npos;
  return static_cast<std::size_t>(trimmed.data() - line.data()) + trimmed.size();
}

void WriteNotesLine(TFileWriter& out, std::string& line) {
  const std::size_t escape = NotesEscapePosition(line);
  if (escape != std::string_view::npos) line.insert(escape, 1, '\\');
  out.Line(line);
}

void WriteNotes(TFileWriter& out, const std::string& notes) {
  // CR LF pairs end lines; a lone LF is dropped.
  std::string line;
  for (std::size_t i = 0; i < notes.size(); ++i) {
    const char ch = notes[i];
    if (ch == '\r' && i + 1 < notes.size() && notes[i + 1] == '\n') {
      WriteNotesLine(out, line);
      line.clear();
      ++i;
    } else if (ch != '\n') {
      line.push_back(ch);
    }
  }
  // Every line is written, the last one too when it is empty, so that a
  // final line break survives the reader's dropping of one.
  if (!notes.empty()) WriteNotesLine(out, line);
  out.Line(EndNotes);
}

void WriteRowTitles(TFileWriter& out, const TDataTable& table) {
  for (int r = 0; r < MaxRows; ++r) {
    if (table.RowTitle(r) == std::to_string(r + 1)) continue;
    std::string index = std::to_string(r);
    index.resize(RowTitleIndexWidth, ' ');
    out.Line(index + table.RowTitle(r));
  }
  out.Line(EndRowTitles);
}

void WriteDecimals(TFileWriter& out, const TDataTable& table) {
  for (int c = 0; c < MaxColumns; ++c) out.Integer(table.UserDecimals[At(c)]);
  out.Line(EndDecimals);
}

void WriteExcludeFlags(TFileWriter& out, const TDataTable& table) {
  out.Line(StartExcludeFlags);
  for (int r = 0; r <= table.LastRow(); ++r) {
    std::string line;
    for (int c = 0; c <= table.LastColumn(); ++c) line.push_back(table.IsExcluded(r, c) ? '*' : '.');
    out.Line(line);
  }
  out.Line(EndExcludeFlags);
}

void WriteCompareMeans(TFileWriter& out, const TDocument& document) {
  const TDataTable& table = document.Table;
  const TTestChoices& choices = document.Choices;
  out.Line(table.Title());
  if (document.Format == TDataFormat::Raw) {
    WriteRawData(out, table);
  } else {
    out.Line(EndRawData);
  }
  for (int c = 0; c < MaxColumns; ++c) {
    const TColumnSummary& s = table.Summary(c);
    out.Integer(c);
    out.Line(s.Title);
    out.Integer(s.N);
    for (TReal value : {s.Mean, s.SD, s.SEM, s.Minimum, s.Maximum, s.Median, s.UpperCI, s.LowerCI}) out.Number(value);
    out.Line();
  }
  out.Line(EndStatData);
  out.Choice(choices.ColumnCountKind);
  out.Choice(choices.OneColumnTest);
  out.Number(choices.HypotheticalMean);
  out.Integer(choices.OneColumnTwoTailed);
  out.Integer(choices.OneColumn);
  out.Choice(choices.HypotheticalMeanChoice);
  for (std::int32_t value : {choices.TwoColumnNonparametric, choices.TwoColumnUnpaired, choices.TwoColumnTwoTailed,
                             choices.FirstColumn, choices.SecondColumn})
    out.Integer(value);
  out.Flag(choices.EqualSDs != 0);
  out.Integer(choices.OrdinaryAnova);
  out.Integer(choices.MultiColumnNonparametric);
  out.Choice(choices.PostTestCondition);
  out.Choice(choices.PairSet);
  out.Integer(choices.ControlColumn);
  out.Choice(choices.PostTestMethod);
  std::string pairs;
  for (std::uint8_t flag : choices.PairSelected) pairs.push_back(flag != 0 ? 'T' : 'F');
  out.Line(pairs);
  out.Line(EndChoices);
  WriteNotes(out, document.Notes);
  for (int c = 0; c < MaxColumns; ++c) out.Flag(table.ColumnSelected[At(c)] != 0);
  out.Line(EndSelectedFlags);
  WriteRowTitles(out, table);
  WriteDecimals(out, table);
  out.Flag(choices.AllColumns != 0);
  out.Line();
  for (int c = 0; c < MaxColumns; ++c) {
    const TColumnSummary& s = table.Summary(c);
    out.Number(s.NormalityKS);
    out.Number(s.NormalityP);
    out.Flag(s.PassedNormality != 0);
  }
  out.Line();
  WriteExcludeFlags(out, table);
  out.Line();
}

void WriteLargerTable(TFileWriter& out, const TDocument& document) {
  const TDataTable& table = document.Table;
  out.Line(table.Title());
  for (int c = 0; c < MaxColumns; ++c) {
    out.Integer(c);
    out.Line(table.Summary(c).Title);
    out.Integer(table.Summary(c).N);
    out.Line();
  }
  out.Line(EndStatData);
  WriteRawData(out, table);
  WriteNotes(out, document.Notes);
  WriteRowTitles(out, table);
  WriteDecimals(out, table);
  WriteExcludeFlags(out, table);
  out.Line();
}

void WriteTwoByTwo(TFileWriter& out, const TDocument& document) {
  const TTestChoices& choices = document.Choices;
  const TTwoByTwoTable& counts = document.TwoByTwo;
  out.Choice(choices.UseChiSquare);
  out.Flag(choices.Yates != 0);
  out.Integer(choices.TwoByTwoTwoSided);
  out.Flag(choices.ReportRelativeRisk != 0);
  out.Flag(choices.ReportOddsRatio != 0);
  out.Flag(choices.ReportRiskDifference != 0);
  for (TReal count : {counts.A, counts.B, counts.C, counts.D}) out.Number(count);
  for (const std::string& title : counts.Titles) out.Line(title);
  out.Line(document.Table.Title());
  out.Line(EndChoices);
  WriteNotes(out, document.Notes);
  out.Line();
  out.Flag(choices.ReportSensitivity != 0);
  out.Line();
}

void WriteXY(TFileWriter& out, const TDocument& document) {
  const TDataTable& table = document.Table;
  const TTestChoices& choices = document.Choices;
  out.Line(table.Title());
  out.Flag(choices.IsRegression != 0);
  out.Flag(choices.RunsTest != 0);
  out.Flag(choices.ForceThrough != 0);
  out.Number(choices.ForceX);
  out.Number(choices.ForceY);
  out.Choice(choices.RegressionKind);
  out.Flag(choices.InterpolateUnknowns != 0);
  out.Line(EndChoices);
  for (int c = 0; c < MaxColumns; ++c) {
    out.Integer(c);
    out.Line(table.Summary(c).Title);
  }
  out.Line(TitlesMarker);
  WriteRawData(out, table);
  WriteNotes(out, document.Notes);
  WriteRowTitles(out, table);
  WriteDecimals(out, table);
  WriteExcludeFlags(out, table);
  out.Line();
}

void WriteMultipleRegression(TFileWriter& out, const TDocument& document) {
  const TDataTable& table = document.Table;
  const TTestChoices& choices = document.Choices;
  out.Line(table.Title());
  WriteRawData(out, table);
  for (int c = 0; c < MaxColumns; ++c) out.Line(table.Summary(c).Title);
  out.Integer(choices.MultipleRegression);
  out.Integer(choices.DependentColumn);
  out.Flag(document.GraphAnalyzedOnly != 0);
  for (std::uint8_t flag : choices.IndependentSelected) out.Flag(flag != 0);
  out.Line(std::string(1, document.GraphXVariable));
  out.Line(std::string(1, document.GraphYVariable));
  out.Line(EndChoices);
  WriteNotes(out, document.Notes);
  WriteRowTitles(out, table);
  out.Line();
  WriteExcludeFlags(out, table);
  out.Line();
}

// ---------------------------------------------------------------- reading

class TFileReader {
 public:
  explicit TFileReader(std::istream& in) : mLines(in) {}

  bool Ended() const { return mLines.AtEnd(); }
  bool Failed() const { return mLines.Failed(); }
  // Whether the layout asked for a line the file did not have, or stopped
  // because the file had ended: what was read is then only part of it.
  bool CutShort() const { return mCutShort; }
  // Whether the file has more lines; when it has not, the layout ends here
  // and the file counts as cut short.
  bool HasMore() {
    if (mLines.AtEnd()) mCutShort = true;
    return !mLines.AtEnd();
  }
  std::string Line() {
    std::string line;
    ReadLine(line);
    return line;
  }
  bool ReadLine(std::string& line) {
    if (mLines.ReadLine(line)) return true;
    mCutShort = true;
    return false;
  }
  std::int32_t Integer(std::int32_t fallback = 0) {
    const std::string line = mLines.NextNonBlankLine();
    // Only the end of the file gives no line at all.
    if (line.empty()) mCutShort = true;
    std::int32_t value = fallback;
    if (!ParseFileInteger(line, value)) return fallback;
    return value;
  }
  // A stored choice; any number is kept as it is (see TestChoices.h).
  template <class TChoice>
  TChoice Choice(TChoice fallback) {
    return static_cast<TChoice>(Integer(static_cast<std::int32_t>(fallback)));
  }
  std::uint8_t Flag() {
    const std::string line = Line();
    return !line.empty() && line[0] == 'T' ? 1 : 0;
  }
  TReal Number() { return ParseFileNumber(Line()); }
  // A title line cut to `length`, noting a cut among what was left out.
  std::string Title(std::size_t length) { return Cut(Line(), length); }
  std::string Cut(std::string_view text, std::size_t length) {
    if (text.size() > length) ++mLeftOut.Titles;
    return std::string(text.substr(0, length));
  }
  TLeftOut& LeftOut() { return mLeftOut; }
  TLeftOut LeftOutInAll() const {
    TLeftOut all = mLeftOut;
    all.LongLines = static_cast<std::int32_t>(mLines.CutLines());
    return all;
  }

 private:
  TLineReader mLines;
  bool mCutShort = false;
  TLeftOut mLeftOut;
};

// Calls `take(column, value)` for each field of a raw data line (each field
// ends with ",") that holds a value, also past the table's columns.
template <class TTake>
void ForEachRawValue(std::string_view line, TTake take) {
  std::size_t start = 0;
  for (int column = 0; start <= line.size(); ++column) {
    std::size_t comma = line.find(',', start);
    if (comma == std::string::npos) comma = line.size();
    const TReal value = ParseFileNumber(line.substr(start, comma - start));
    if (!IsEmpty(value)) take(column, value);
    start = comma + 1;
  }
}

// `keepValues` is false for the averaged formats, which hold no raw data:
// rows found there anyway are skipped rather than kept where the writer
// would never save them.
void ReadRawData(TFileReader& in, TDataTable& table, bool keepValues = true) {
  table.MeanEntryColumn.fill(1);
  std::string line;
  int row = 0;
  int lastColumn = -1;
  for (; in.ReadLine(line) && !IsMarker(line, EndRawData); ++row) {
    if (!keepValues) continue;
    // Rows past the table's capacity are skipped up to the end marker, and
    // counted when they hold values.
    if (row >= MaxRows) {
      bool holdsValue = false;
      ForEachRawValue(line, [&holdsValue](int, TReal) { holdsValue = true; });
      if (holdsValue) ++in.LeftOut().Rows;
      continue;
    }
    ForEachRawValue(line, [&](int column, TReal value) {
      lastColumn = std::max(lastColumn, column);
      if (column >= MaxColumns) return;
      table.LearnImportedDecimals(column, value);
      table.MeanEntryColumn[At(column)] = 0;
      table.SetValue(row, column, value);
    });
  }
  in.LeftOut().Columns = std::max(0, lastColumn + 1 - MaxColumns);
  table.ColumnChanged.fill(0);
}

void ReadNotes(TFileReader& in, std::string& notes) {
  notes.clear();
  std::string line;
  // Read a little past the limit, so that a final line break alone is told
  // from text that does not fit.
  while (in.ReadLine(line) && !IsMarker(line, EndNotes)) {
    if (notes.size() > MaxNotesLength + 2) continue;
    const std::size_t escape = NotesEscapePosition(line);
    if (escape != std::string_view::npos) line.erase(escape - 1, 1);
    notes += line;
    notes += "\r\n";
  }
  // The notes never keep a final line break.
  const auto dropFinalBreak = [&notes] {
    if (notes.size() >= 2 && notes.compare(notes.size() - 2, 2, "\r\n") == 0) notes.resize(notes.size() - 2);
  };
  dropFinalBreak();
  if (notes.size() > MaxNotesLength) {
    in.LeftOut().Notes = true;
    notes.resize(MaxNotesLength);
    dropFinalBreak();
  }
}

void ReadRowTitles(TFileReader& in, TDataTable& table) {
  std::string line;
  while (in.ReadLine(line) && !IsMarker(line, EndRowTitles)) {
    std::int32_t row = -1;
    const std::string_view indexText = TrimBlanks(std::string_view(line).substr(0, RowTitleIndexWidth));
    if (!ParseFileInteger(indexText, row) || row < 0 || row >= MaxRows) continue;
    // The whole index field must be the number, as in "2     Control".
    if (indexText != std::to_string(row)) continue;
    const std::string_view title =
        line.size() > RowTitleIndexWidth ? std::string_view(line).substr(RowTitleIndexWidth) : "";
    table.SetRowTitle(row, in.Cut(title, MaxRowTitleLength));
  }
}

void ReadDecimals(TFileReader& in, TDataTable& table) {
  for (int c = 0; c < MaxColumns && !in.Ended(); ++c)
    table.UserDecimals[At(c)] = std::clamp(in.Integer(-1), std::int32_t{-1}, MaxUserDecimals);
  in.Line();  // end marker
}

void ReadExcludeFlags(TFileReader& in, TDataTable& table) {
  std::string line;
  while (in.ReadLine(line) && !IsMarker(line, StartExcludeFlags)) {
  }
  for (int row = 0; in.ReadLine(line) && !IsMarker(line, EndExcludeFlags); ++row) {
    if (row >= MaxRows) continue;
    const int columns = static_cast<int>(std::min<std::size_t>(line.size(), MaxColumns));
    for (int c = 0; c < columns; ++c)
      if (line[At(c)] == '*') table.SetExcluded(row, c, true);
  }
}

void ReadColumnTitle(TFileReader& in, TDataTable& table, int column) {
  table.Summary(column).Title = in.Title(MaxColumnTitleLength);
}

std::int32_t CountColumnsWithN(const TDataTable& table) {
  std::int32_t count = 0;
  for (int c = 0; c < MaxColumns; ++c)
    if (table.Summary(c).N > 0) ++count;
  return count;
}

void ReadCompareMeans(TFileReader& in, TDocument& document) {
  TDataTable& table = document.Table;
  TTestChoices& choices = document.Choices;
  table.SetTitle(in.Title(MaxTableTitleLength));
  ReadRawData(in, table, document.Format == TDataFormat::Raw);
  for (int c = 0; c < MaxColumns; ++c) {
    TColumnSummary& s = table.Summary(c);
    in.Line();  // the column's index
    ReadColumnTitle(in, table, c);
    s.N = std::max(in.Integer(), std::int32_t{-1});
    for (TReal* field : {&s.Mean, &s.SD, &s.SEM, &s.Minimum, &s.Maximum, &s.Median, &s.UpperCI, &s.LowerCI})
      *field = in.Number();
    in.Line();
  }
  in.Line();  // end of the statistics
  choices.ColumnCountKind = in.Choice(TColumnCountKind::None);
  choices.OneColumnTest = in.Choice(TOneColumnTest::OneSampleT);
  choices.HypotheticalMean = in.Number();
  if (IsEmpty(choices.HypotheticalMean)) choices.HypotheticalMean = 0;
  for (std::int32_t* field : {&choices.OneColumnTwoTailed, &choices.OneColumn}) *field = in.Integer(*field);
  choices.HypotheticalMeanChoice = in.Choice(choices.HypotheticalMeanChoice);
  for (std::int32_t* field : {&choices.TwoColumnNonparametric, &choices.TwoColumnUnpaired, &choices.TwoColumnTwoTailed,
                              &choices.FirstColumn, &choices.SecondColumn})
    *field = in.Integer(*field);
  choices.EqualSDs = in.Flag();
  for (std::int32_t* field : {&choices.OrdinaryAnova, &choices.MultiColumnNonparametric}) *field = in.Integer(*field);
  choices.PostTestCondition = in.Choice(choices.PostTestCondition);
  choices.PairSet = in.Choice(choices.PairSet);
  choices.ControlColumn = in.Integer(choices.ControlColumn);
  choices.PostTestMethod = in.Choice(choices.PostTestMethod);
  const std::string pairs = in.Line();
  for (std::size_t i = 0; i < choices.PairSelected.size(); ++i)
    choices.PairSelected[i] = i < pairs.size() && pairs[i] == 'T' ? 1 : 0;
  in.Line();  // end of the choices
  ReadNotes(in, document.Notes);
  for (int c = 0; c < MaxColumns; ++c) table.ColumnSelected[At(c)] = in.Flag();
  in.Line();  // end of the selected flags
  ReadRowTitles(in, table);
  if (!in.HasMore()) return;
  ReadDecimals(in, table);
  if (!in.HasMore()) return;
  choices.AllColumns = in.Flag();
  choices.LastColumnCount = CountColumnsWithN(table);
  in.Line();
  for (int c = 0; c < MaxColumns && !in.Ended(); ++c) {
    TColumnSummary& s = table.Summary(c);
    s.NormalityKS = in.Number();
    s.NormalityP = in.Number();
    s.PassedNormality = in.Flag();
  }
  if (!in.HasMore()) return;
  ReadExcludeFlags(in, table);
}

void ReadLargerTable(TFileReader& in, TDocument& document) {
  TDataTable& table = document.Table;
  table.SetTitle(in.Title(MaxTableTitleLength));
  for (int c = 0; c < MaxColumns; ++c) {
    in.Line();
    ReadColumnTitle(in, table, c);
    table.Summary(c).N = std::max(in.Integer(), std::int32_t{-1});
    in.Line();
  }
  in.Line();
  ReadRawData(in, table);
  ReadNotes(in, document.Notes);
  ReadRowTitles(in, table);
  if (!in.HasMore()) return;
  ReadDecimals(in, table);
  if (!in.HasMore()) return;
  ReadExcludeFlags(in, table);
}

void ReadTwoByTwo(TFileReader& in, TDocument& document) {
  TTestChoices& choices = document.Choices;
  TTwoByTwoTable& counts = document.TwoByTwo;
  // An older file may hold 2 here; it stands for Fisher's test.
  constexpr std::int32_t OlderFisherCode = 2;
  const std::int32_t test = in.Integer();
  choices.UseChiSquare = test == OlderFisherCode ? TTwoByTwoTest::Fisher : static_cast<TTwoByTwoTest>(test);
  choices.Yates = in.Flag();
  choices.TwoByTwoTwoSided = in.Integer(choices.TwoByTwoTwoSided);
  choices.ReportRelativeRisk = in.Flag();
  choices.ReportOddsRatio = in.Flag();
  choices.ReportRiskDifference = in.Flag();
  if (choices.ReportRelativeRisk != 0 || choices.ReportRiskDifference != 0) {
    choices.ReportRelativeRisk = 1;
    choices.ReportRiskDifference = 1;
  }
  for (TReal* count : {&counts.A, &counts.B, &counts.C, &counts.D}) *count = in.Number();
  for (std::string& title : counts.Titles) title = in.Title(TTwoByTwoTable::MaxTitleLength);
  document.Table.SetTitle(in.Title(MaxTableTitleLength));
  in.Line();
  ReadNotes(in, document.Notes);
  in.Line();
  if (!in.HasMore()) return;
  choices.ReportSensitivity = in.Flag();
}

void ReadXY(TFileReader& in, TDocument& document) {
  TDataTable& table = document.Table;
  TTestChoices& choices = document.Choices;
  table.SetTitle(in.Title(MaxTableTitleLength));
  choices.IsRegression = in.Flag();
  choices.RunsTest = in.Flag();
  choices.ForceThrough = in.Flag();
  for (TReal* point : {&choices.ForceX, &choices.ForceY}) {
    *point = in.Number();
    if (IsEmpty(*point)) *point = 0;
  }
  choices.RegressionKind = in.Choice(choices.RegressionKind);
  // Older files have no line for the unknowns; the default stays.
  const std::string line = in.Line();
  if (!IsMarker(line, EndChoices)) {
    choices.InterpolateUnknowns = !line.empty() && line[0] == 'T' ? 1 : 0;
    in.Line();
  }
  for (int c = 0; c < MaxColumns; ++c) {
    in.Line();
    ReadColumnTitle(in, table, c);
  }
  in.Line();
  ReadRawData(in, table);
  ReadNotes(in, document.Notes);
  ReadRowTitles(in, table);
  if (!in.HasMore()) return;
  ReadDecimals(in, table);
  if (!in.HasMore()) return;
  ReadExcludeFlags(in, table);
}

char VariableLetter(const std::string& line, bool allowResiduals, char fallback) {
  if (line.empty()) return fallback;
  const char letter = line[0];
  if (letter >= 'A' && letter <= 'Z') return letter;
  if (allowResiduals && letter == '*') return letter;
  return fallback;
}

void ReadMultipleRegression(TFileReader& in, TDocument& document) {
  TDataTable& table = document.Table;
  TTestChoices& choices = document.Choices;
  table.SetTitle(in.Title(MaxTableTitleLength));
  ReadRawData(in, table);
  for (int c = 0; c < MaxColumns; ++c) ReadColumnTitle(in, table, c);
  choices.MultipleRegression = in.Integer(choices.MultipleRegression);
  choices.DependentColumn = std::clamp(in.Integer(choices.DependentColumn), 0, MaxColumns - 1);
  document.GraphAnalyzedOnly = in.Flag();
  for (std::uint8_t& flag : choices.IndependentSelected) flag = in.Flag();
  document.GraphXVariable = VariableLetter(in.Line(), false, document.GraphXVariable);
  document.GraphYVariable = VariableLetter(in.Line(), true, document.GraphYVariable);
  in.Line();
  ReadNotes(in, document.Notes);
  ReadRowTitles(in, table);
  in.Line();
  if (!in.HasMore()) return;
  ReadExcludeFlags(in, table);
}

// 1234567 as "1,234,567".
std::string GroupedInteger(std::int32_t value) {
  const std::string digits = std::to_string(value);
  std::string grouped;
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

TFileOutcome ReadFailure(TFileResult result, std::string message) { return {result, std::move(message), {}}; }

}  // namespace

std::string IncompleteDocumentMessage(std::string_view fileName) { return PartialDocumentMessage(fileName, true, {}); }

std::string PartialDocumentMessage(std::string_view fileName, bool endedEarly, const TLeftOut& leftOut) {
  std::vector<std::string> parts;
  const auto count = [](std::int32_t n, const char* one, const char* many) {
    return GroupedInteger(n) + " " + (n == 1 ? one : many);
  };
  if (leftOut.Rows > 0)
    parts.push_back(count(leftOut.Rows, "data row", "data rows") + " after row " + GroupedInteger(MaxRows));
  if (leftOut.Columns > 0)
    parts.push_back("values in " + count(leftOut.Columns, "column", "columns") + " after column Z");
  if (leftOut.LongLines > 0)
    parts.push_back("the ends of " + count(leftOut.LongLines, "line", "lines") + " longer than " +
                    GroupedInteger(static_cast<std::int32_t>(TLineReader::MaxLineLength)) + " characters");
  if (leftOut.Titles > 0)
    parts.push_back("the ends of " + count(leftOut.Titles, "title", "titles") + " too long to keep");
  if (leftOut.Notes) parts.push_back("the notes after " + GroupedInteger(MaxNotesLength) + " characters");
  std::string list;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) list += i + 1 == parts.size() ? " and " : ", ";
    list += parts[i];
  }
  std::string message(fileName);
  if (endedEarly) {
    message += " ended early: the document may be incomplete.";
    if (!list.empty()) message += " Left out as well: " + list + ".";
  } else {
    message += " holds more than a document can keep; left out: " + list + ".";
  }
  return message + " It is opened as a new, unsaved copy.";
}

TFileOutcome ReadDocument(std::istream& stream, TDocument& document) {
  TFileReader in(stream);
  const std::string program = in.Line();
  const TReal version = ParseFileNumber(in.Line());
  std::int32_t code = 0;
  const bool haveCode = ParseFileInteger(in.Line(), code);
  const std::string markerLine = in.Line();
  std::int32_t marker = 0;
  const bool multiple = ParseFileInteger(markerLine, marker) && marker == 1;
  // Every layout leaves lines 5 and 6 empty: a file of data whose second and
  // third lines happen to read as a version and a format code has values
  // there, and is no document.
  const bool emptyLines = TrimBlanks(in.Line()).empty() && TrimBlanks(in.Line()).empty();
  TDataFormat format = TDataFormat::Raw;
  if (!haveCode || !DataFormatFromCode(code, format) || !emptyLines)
    return ReadFailure(TFileResult::NotOmbrelFile, NotOmbrelFileMessage);
  if (code == 1 && multiple) format = TDataFormat::MultipleRegression;
  if (!(version <= 3.0L)) {
    // Only a file that names the program or has a document's header is a
    // document of a later version; anything else is some other file.
    const bool header = program.find("Ombrel") != std::string::npos || TrimBlanks(markerLine).empty() || multiple;
    if (!header || IsEmpty(version)) return ReadFailure(TFileResult::NotOmbrelFile, NotOmbrelFileMessage);
    return ReadFailure(TFileResult::NewerVersion, NewerVersionMessage);
  }

  document.Format = format;
  document.Family = FamilyOfFormat(format);
  document.MeanIsSD = format == TDataFormat::MeanSemN ? 0 : 1;
  switch (format) {
    case TDataFormat::Raw:
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
      ReadCompareMeans(in, document);
      break;
    case TDataFormat::LargerTable:
      ReadLargerTable(in, document);
      break;
    case TDataFormat::TwoByTwo:
      ReadTwoByTwo(in, document);
      break;
    case TDataFormat::XY:
      ReadXY(in, document);
      break;
    case TDataFormat::MultipleRegression:
      ReadMultipleRegression(in, document);
      break;
  }
  // Every layout ends with an empty line: a file without it was cut, even
  // if only after its last marker.
  in.Line();
  document.MarkChanged();
  if (in.Failed()) return ReadFailure(TFileResult::IoError, FileErrorMessage(EIO, false));
  TFileOutcome outcome;
  outcome.LeftOut = in.LeftOutInAll();
  if (in.CutShort())
    outcome.Result = TFileResult::Incomplete;
  else if (outcome.LeftOut.Any())
    outcome.Result = TFileResult::Oversized;
  if (!outcome.Ok()) outcome.Message = PartialDocumentMessage("The file", in.CutShort(), outcome.LeftOut);
  return outcome;
}

void WriteDocument(std::ostream& stream, const TDocument& document) {
  TFileWriter out(stream);
  WriteHeader(out, document.Format);
  switch (document.Format) {
    case TDataFormat::Raw:
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
      WriteCompareMeans(out, document);
      break;
    case TDataFormat::LargerTable:
      WriteLargerTable(out, document);
      break;
    case TDataFormat::TwoByTwo:
      WriteTwoByTwo(out, document);
      break;
    case TDataFormat::XY:
      WriteXY(out, document);
      break;
    case TDataFormat::MultipleRegression:
      WriteMultipleRegression(out, document);
      break;
  }
}

TFileOutcome OpenDocumentFile(const std::string& path, TDocument& document) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return ReadFailure(TFileResult::IoError, FileFailureMessage("open", path, errno));
  TFileOutcome outcome = ReadDocument(in, document);
  if (outcome.Result == TFileResult::IoError) outcome.Message = FileFailureMessage("read", path, EIO);
  if (outcome.Result == TFileResult::NotOmbrelFile || outcome.Result == TFileResult::NewerVersion) return outcome;
  if (outcome.Partial())
    outcome.Message = PartialDocumentMessage(std::filesystem::path(path).filename().string(),
                                             outcome.Result == TFileResult::Incomplete, outcome.LeftOut);
  if (IsAveragedFormat(document.Format)) {
    document.Table.MeanEntryColumn.fill(1);
    document.Step = TStep::ColumnStats;
  } else {
    // The counts a file holds may predate the last values typed before it
    // was saved: they are counted again from the values.
    if (document.Format == TDataFormat::Raw || document.Format == TDataFormat::MultipleRegression ||
        document.Format == TDataFormat::LargerTable) {
      document.Table.ColumnChanged.fill(1);
      RefreshColumnSummaries(document.Table);
    }
    document.Step = TStep::DataEntry;
  }
  document.MarkChanged();
  return outcome;
}

std::string ComparableImage(const TDocument& document) {
  auto copy = std::make_unique<TDocument>(document);
  copy->RefreshSummaries();
  copy->UpdateChooseTestState();
  std::ostringstream out;
  WriteDocument(out, *copy);
  return out.str();
}

TFileOutcome SaveDocumentFile(const std::string& path, const TDocument& document) {
  std::ostringstream text;
  WriteDocument(text, document);
  const int error = ReplaceFileContents(path, text.str());
  if (error != 0) return ReadFailure(TFileResult::IoError, FileFailureMessage("save", path, error));
  return {};
}

}  // namespace ombrel
