#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/EmptyValue.h"
#include "core/base/StatusCodes.h"
#include "core/report/ReportRecorder.h"
#include "core/report/ReportStructure.h"

namespace ombrel {

namespace detail {
class TTableWriter;
}

// Marker bytes that flip a character attribute from that point of a line on.
inline constexpr char BoldMarker = '\x80';
inline constexpr char UnderlineMarker = '\x81';
inline constexpr char ItalicMarker = '\x82';
inline constexpr char EndMarker = '\x1A';

// A report: CR LF lines of single-byte text with attribute markers, written
// only through the operations below, then finished into an index of lines
// that the viewer reads with LineCount and GetLine.
//
// Unlike a fixed 50,000-byte buffer, the text grows as needed (up to
// MaxReportBytes), and every line is indexed, so a long report is never cut.
class TReportText {
 public:
  static constexpr int MaxTextPerWrite = 80;
  static constexpr int MaxTabStops = 20;
  static constexpr std::size_t MaxReportBytes = 16u * 1024u * 1024u;

  TReportText();

  void BeginReport();
  // Discards the text and the line index; column, line, attributes and tab
  // stops keep their values.
  void ResetReport();

  void WriteText(std::string_view text);
  void WriteLine(std::string_view text = {});
  void NewLine();
  void WriteNumber(TReal value, int digits);
  void WriteNumberIn(int width, TReal value, int digits);
  void WriteNumberTrimmed(TReal value, int decimals);
  void WriteInteger(std::int32_t value);
  void WriteIntegerIn(int width, std::int64_t value);
  // Spaces up to the column. On a line already at or beyond it that does not
  // end in a blank, the next field starts with one (its own or an added
  // one), so that two fields never run together.
  void TabTo(int column);
  void WriteDoubleRule(int count);
  void WriteSingleRule(int count);
  void ToggleBold();
  void ToggleUnderline();

  void ClearTabStops();
  void AddTabStop(int column);
  // Moves to the first stop beyond the column; past the last stop, as
  // TabTo at or beyond its column.
  void NextTabStop();

  // "The two-tailed P value is 0.0123, considered significant." and its
  // variants; ends the line.
  void WritePValueSentence(int tails, bool withWording, TReal p);
  // "extremely ", "very ", "", "not quite " or "not ".
  void WriteSignificanceWord(TReal p);
  // Replaces the report by the message of an analysis error code (> 0);
  // any other code adds two empty lines.
  void WriteErrorReport(TStatusCode code);

  void EndReport();
  void FinishReport();
  // Appends the end marker as an ordinary character (scratch reports).
  void TerminateReport();

  // Copies the source's text line by line into this report with WriteLine.
  void AppendReport(TReportText& source);

  int LineCount() const { return static_cast<int>(mLineCount); }
  // Line `index` (0-based) of a finished report, markers included, without
  // CR LF; nothing when the index is not below the line count.
  std::optional<std::string_view> GetLine(int index) const;

  int Column() const { return mColumn; }
  int Line() const { return mLine; }
  bool Bold() const { return mBold; }
  bool Underline() const { return mUnderline; }
  const std::string& Text() const { return mText; }
  // What the report holds besides its text, recorded as it was written:
  // every number printed, the headings, each report table as cells. A table
  // in progress is complete once something is written outside it, and at
  // FinishReport.
  const TReportStructure& Structure() const { return mRecorder.Structure(); }
  // The line about to be written is a heading: 1 the data set title, 2 a
  // report or section title, 3 an underlined sub-heading. Ignored unless at
  // the start of a line.
  void MarkHeading(int level);

  // True once a number that is not finite was handed to a number operation;
  // the analysis frame turns it into an arithmetic fault.
  bool SawNonFinite() const { return mSawNonFinite; }

  // The help topic an analysis chose for its report; EndReport keeps it as
  // the topic of the finished report.
  std::int32_t HelpTopic = 0;
  std::int32_t ReportHelpTopic = 0;

 private:
  // The report tables' writer names the cells and rule lines it writes.
  friend class detail::TTableWriter;

  void AppendChar(char ch);
  void AppendRaw(std::string_view text);
  void AppendNumber(std::string_view text, TReal value, TNumberForm form, int decimals);
  bool ReadLine(std::string& line);
  void KeepFieldsApart();

  std::string mText;
  int mColumn = 1;
  // Whether the last character of the line that takes a column is a blank,
  // and whether the next one must be (two fields would touch otherwise).
  bool mAfterBlank = false;
  bool mKeepApart = false;
  int mLine = 1;
  std::uint32_t mLineCount = 0;
  bool mBold = false;
  bool mUnderline = false;
  bool mSawNonFinite = false;
  std::array<int, MaxTabStops> mTabStops{};
  std::size_t mReadPosition = 0;
  bool mAtEnd = false;
  struct TLineEntry {
    std::size_t Start = 0;
    std::size_t Length = 0;
  };
  std::vector<TLineEntry> mLineIndex;
  detail::TReportRecorder mRecorder;
};

// A second report for one block of an analysis's output; already begun.
// Empty when memory runs out (the analysis then refuses with OutOfMemory).
std::unique_ptr<TReportText> OpenScratchReport();

// The message lines of an analysis error code; empty for unknown codes.
const std::vector<std::string_view>& ErrorMessageLines(TStatusCode code);

}  // namespace ombrel
