#include "core/report/ReportHtml.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "core/report/ReportStructure.h"
#include "core/report/ReportText.h"

namespace ombrel {

namespace {

enum TAttribute : unsigned { Bold = 1, Underline = 2, Italic = 4 };

struct TTag {
  unsigned Bit;
  std::string_view Open;
  std::string_view Close;
};

// Opened in this order, closed in the reverse one, so the tags always nest.
constexpr std::array<TTag, 3> Tags{{{Bold, "<b>", "</b>"}, {Underline, "<u>", "</u>"}, {Italic, "<i>", "</i>"}}};

bool IsMarker(char ch) { return ch == BoldMarker || ch == UnderlineMarker || ch == ItalicMarker; }

unsigned MarkerBit(char ch) {
  if (ch == BoldMarker) return Bold;
  if (ch == UnderlineMarker) return Underline;
  return Italic;
}

void CloseTags(std::string& html, unsigned open) {
  for (auto tag = Tags.rbegin(); tag != Tags.rend(); ++tag)
    if ((open & tag->Bit) != 0) html += tag->Close;
}

void OpenTags(std::string& html, unsigned open) {
  for (const TTag& tag : Tags)
    if ((open & tag.Bit) != 0) html += tag.Open;
}

void AppendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out.push_back(static_cast<char>(code));
  } else {
    out.push_back(static_cast<char>(0xC0 | (code >> 6)));
    out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// The length of the UTF-8 sequence that starts at `at`, or 0 when the bytes
// there are not one (a marker inside counts as a break).
std::size_t Utf8Length(std::string_view line, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(line[i]); };
  const unsigned lead = byte(at);
  std::size_t length = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
  } else {
    return 0;
  }
  if (at + length > line.size()) return 0;
  for (std::size_t i = at + 1; i < at + length; ++i)
    if ((byte(i) & 0xC0) != 0x80 || IsMarker(line[i])) return 0;
  return length;
}

void AppendEscaped(std::string& out, char ch) {
  switch (ch) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out.push_back(ch);
      break;
  }
}

// The characters of one report line from display column `from` up to, not
// including, `to` (0-based, markers take none) as HTML text with their
// attribute tags.
void AppendLine(std::string& html, std::string_view line, std::size_t from, std::size_t to) {
  unsigned attributes = 0;
  unsigned written = 0;  // the tags open in the output
  std::size_t column = 0;
  for (std::size_t i = 0; i < line.size() && column < to;) {
    const char ch = line[i];
    if (IsMarker(ch)) {
      attributes ^= MarkerBit(ch);
      ++i;
      continue;
    }
    const auto byte = static_cast<unsigned char>(ch);
    std::size_t length = 1;
    if (byte >= 0x80) length = std::max<std::size_t>(1, Utf8Length(line, i));
    if (column >= from && ch != EndMarker) {
      if (written != attributes) {
        CloseTags(html, written);
        OpenTags(html, attributes);
        written = attributes;
      }
      if (byte < 0x80) {
        AppendEscaped(html, ch);
      } else if (length > 1) {
        html.append(line.substr(i, length));
      } else {
        AppendUtf8(html, byte);
      }
    }
    i += length;
    ++column;
  }
  CloseTags(html, written);
}

// The first and the end display column of the line's text without the
// blanks around it (markers take no column).
std::pair<std::size_t, std::size_t> TextColumns(std::string_view line) {
  std::size_t column = 0;
  std::size_t first = std::string_view::npos;
  std::size_t end = 0;
  for (std::size_t i = 0; i < line.size();) {
    const char ch = line[i];
    if (IsMarker(ch)) {
      ++i;
      continue;
    }
    std::size_t length = 1;
    if (static_cast<unsigned char>(ch) >= 0x80) length = std::max<std::size_t>(1, Utf8Length(line, i));
    if (static_cast<unsigned char>(ch) >= 33 && ch != EndMarker) {
      if (first == std::string_view::npos) first = column;
      end = column + 1;
    }
    i += length;
    ++column;
  }
  if (first == std::string_view::npos) return {0, 0};
  return {first, end};
}

// A cell written as text that reads as a number ("30", "( 33%)").
bool LooksNumeric(std::string_view text) {
  bool digit = false;
  for (const char ch : text) {
    if (ch >= '0' && ch <= '9') {
      digit = true;
    } else if (std::string_view(".-+E%() ").find(ch) == std::string_view::npos) {
      return false;
    }
  }
  return digit;
}

void AppendCell(std::string& html, const TReportCell& cell, bool header) {
  if (header) {
    html += "<th>";
  } else if (cell.HasNumber || LooksNumeric(cell.Text)) {
    html += "<td align=\"right\" style=\"text-align: right;\">";
  } else {
    html += "<td>";
  }
  const bool bold = !header && (cell.Style & CellBold) != 0;
  const bool italic = (cell.Style & CellItalic) != 0;
  if (bold) html += "<b>";
  if (italic) html += "<i>";
  html += HtmlEscaped(Utf8Text(cell.Text));
  if (italic) html += "</i>";
  if (bold) html += "</b>";
  html += header ? "</th>" : "</td>";
}

void AppendTable(std::string& html, const TReportTable& table) {
  html += "<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" style=\"border-collapse: collapse;\">\n";
  if (!table.Header.empty()) {
    html += "<thead>\n";
    for (const TReportRow& row : table.Header) {
      html += "<tr>";
      for (const TReportCell& cell : row) AppendCell(html, cell, true);
      html += "</tr>\n";
    }
    html += "</thead>\n";
  }
  html += "<tbody>\n";
  for (const TReportRow& row : table.Body) {
    html += "<tr>";
    for (const TReportCell& cell : row) AppendCell(html, cell, false);
    html += "</tr>\n";
  }
  html += "</tbody>\n</table>\n";
}

// A line of a paragraph: its display columns from `From` up to `To`.
struct TParagraphLine {
  std::string_view Line;
  std::size_t From = 0;
  std::size_t To = 0;
};

// The lines of one paragraph, each without the blanks around it.
void AppendParagraph(std::string& html, const std::vector<TParagraphLine>& lines) {
  if (lines.empty()) return;
  html += "<p>";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) html += "<br>\n";
    AppendLine(html, lines[i].Line, lines[i].From, lines[i].To);
  }
  html += "</p>\n";
}

// A heading's text without its markers and the blanks that centred it.
void AppendHeading(std::string& html, std::string_view line, int level) {
  std::string text = Utf8Text(line);
  const auto blank = [](char ch) { return static_cast<unsigned char>(ch) < 33; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  const auto first = std::find_if_not(text.begin(), text.end(), blank);
  const std::string tag = "h" + std::to_string(std::clamp(level, 1, 3));
  html += "<" + tag + ">" + HtmlEscaped(std::string(first, text.end()));
  html += "</" + tag + ">\n";
}

}  // namespace

std::string Utf8Text(std::string_view text) {
  std::string plain;
  for (std::size_t i = 0; i < text.size();) {
    const char ch = text[i];
    if (IsMarker(ch) || ch == EndMarker) {
      ++i;
      continue;
    }
    const auto byte = static_cast<unsigned char>(ch);
    std::size_t length = byte >= 0x80 ? Utf8Length(text, i) : 1;
    if (length > 1) {
      plain.append(text.substr(i, length));
    } else if (byte >= 0x80) {
      AppendUtf8(plain, byte);
      length = 1;
    } else {
      plain.push_back(ch);
    }
    i += length;
  }
  return plain;
}

std::string HtmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) AppendEscaped(out, ch);
  return out;
}

std::string ReportHtmlBlock(const TReportText& report) {
  return ReportHtmlBlock(report, {0, 0, report.LineCount(), 0});
}

std::string ReportHtmlBlock(const TReportText& report, const TReportRange& range) {
  std::string html = "<pre style=\"font-family: 'Courier New', Courier, monospace; font-size: 10pt;\">";
  const int last = std::min(range.EndLine, report.LineCount() - 1);
  for (int i = std::max(0, range.StartLine); i <= last; ++i) {
    const auto line = report.GetLine(i);
    if (!line) break;
    const auto from = static_cast<std::size_t>(i == range.StartLine ? std::max(0, range.StartColumn) : 0);
    const auto to = i == range.EndLine ? static_cast<std::size_t>(std::max(0, range.EndColumn))
                                       : std::numeric_limits<std::size_t>::max();
    AppendLine(html, *line, from, to);
    if (i < last || i < range.EndLine) html.push_back('\n');
  }
  html += "</pre>";
  return html;
}

std::string ReportHtmlContent(const TReportText& report) {
  return ReportHtmlContent(report, {0, 0, report.LineCount(), 0});
}

std::string ReportHtmlContent(const TReportText& report, const TReportRange& range) {
  const TReportStructure& structure = report.Structure();
  const int first = std::max(0, range.StartLine);
  const int end = std::min(report.LineCount(), range.EndColumn > 0 ? range.EndLine + 1 : range.EndLine);
  std::string html;
  std::vector<TParagraphLine> paragraph;
  const auto endParagraph = [&] {
    AppendParagraph(html, paragraph);
    paragraph.clear();
  };
  auto table = structure.Tables.begin();
  auto heading = structure.Headings.begin();
  for (int i = first; i < end;) {
    while (table != structure.Tables.end() && table->EndLine <= i) ++table;
    while (heading != structure.Headings.end() && heading->Line < i) ++heading;
    // A table the range reaches into is taken whole.
    if (table != structure.Tables.end() && table->FirstLine <= i) {
      endParagraph();
      AppendTable(html, *table);
      i = table->EndLine;
      continue;
    }
    const std::string_view line = report.GetLine(i).value_or("");
    auto [from, to] = TextColumns(line);
    if (i == range.StartLine) from = std::max(from, static_cast<std::size_t>(std::max(0, range.StartColumn)));
    if (i == range.EndLine) to = std::min(to, static_cast<std::size_t>(std::max(0, range.EndColumn)));
    const bool blank = from >= to;
    const bool isHeading = heading != structure.Headings.end() && heading->Line == i && !blank;
    if (blank || isHeading) endParagraph();
    if (isHeading) {
      AppendHeading(html, line, heading->Level);
    } else if (!blank) {
      paragraph.push_back({line, from, to});
    }
    ++i;
  }
  endParagraph();
  return html;
}

std::string ReportHtmlPage(const TReportText& report, std::string_view title) {
  std::string html =
      "<!DOCTYPE html>\n"
      "<html>\n"
      "<head>\n"
      "<meta charset=\"utf-8\">\n"
      "<title>";
  html += HtmlEscaped(title);
  html +=
      "</title>\n"
      "<style>\n"
      "body { font-family: sans-serif; }\n"
      "table { border-collapse: collapse; margin: 0.5em 0; }\n"
      "th, td { border: 1px solid #888; padding: 2px 6px; }\n"
      "</style>\n"
      "</head>\n"
      "<body>\n";
  html += ReportHtmlContent(report);
  html += "</body>\n</html>\n";
  return html;
}

std::string ReportPlainText(const TReportText& report, std::string_view lineEnd) {
  std::string text;
  for (int i = 0; i < report.LineCount(); ++i) {
    const auto line = report.GetLine(i);
    if (!line) break;
    for (const char ch : *line)
      if (!IsMarker(ch) && ch != EndMarker) text.push_back(ch);
    text += lineEnd;
  }
  return text;
}

}  // namespace ombrel
