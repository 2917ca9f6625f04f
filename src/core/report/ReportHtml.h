#pragma once

#include <string>
#include <string_view>

namespace ombrel {

class TReportText;

// The text with "&", "<", ">" and '"' as HTML entities.
std::string HtmlEscaped(std::string_view text);

// A finished report as one HTML <pre> block in a fixed-pitch font: each line
// of the report is one line of the block, the bold, underline and italic
// markers become <b>, <u> and <i> (closed at the end of their line, as the
// viewer starts every line plain), and the rest is the text, UTF-8. Bytes
// that are not UTF-8 are read as Latin-1, as the viewer reads them.
std::string ReportHtmlBlock(const TReportText& report);

// A part of a report: from a line and column (0-based, markers take no
// column) up to, not including, the end column of the end line.
struct TReportRange {
  int StartLine = 0;
  int StartColumn = 0;
  int EndLine = 0;
  int EndColumn = 0;
};
// The block of the part of the report in the range (a selection of the
// viewer). Each line ends with a line break, except the end line, which
// ends the block (an end line past the report keeps every break).
std::string ReportHtmlBlock(const TReportText& report, const TReportRange& range);

// Text of a report (a title, a table cell) as UTF-8 without marker bytes: a
// byte that is not part of a UTF-8 sequence is read as Latin-1.
std::string Utf8Text(std::string_view text);

// A finished report as HTML content that a word processor takes as text and
// tables: its headings as <h1> (the data set title), <h2> (titles) and <h3>
// (underlined sub-headings); other lines as paragraphs, one per run of
// non-empty lines, the lines of one paragraph apart by <br>, bold,
// underline and italic as <b>, <u> and <i>; each report table as a <table>
// with its heading in <th> cells, numbers right-aligned, and each column of
// the text (a significance mark too) a column of its own.
std::string ReportHtmlContent(const TReportText& report);
// The content of a part of the report (a selection of the viewer): the
// lines in the range, the first and last cut at its columns, and every
// table the range reaches into, whole.
std::string ReportHtmlContent(const TReportText& report, const TReportRange& range);

// A complete UTF-8 HTML page: `title` in <title>, the report's content
// (ReportHtmlContent) as body.
std::string ReportHtmlPage(const TReportText& report, std::string_view title);

// The report as plain text: every line without its markers, each ended by
// `lineEnd`.
std::string ReportPlainText(const TReportText& report, std::string_view lineEnd);

}  // namespace ombrel
