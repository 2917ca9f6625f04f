#include "core/entry/WrittenNumbers.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>

namespace ombrel {

namespace {

bool IsBlank(char ch) { return static_cast<unsigned char>(ch) <= ' '; }
bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
char Upper(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// Blanks and one pair of enclosing quotes removed.
std::string_view Unquoted(std::string_view text) {
  text = Trimmed(text);
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = Trimmed(text.substr(1, text.size() - 2));
  return text;
}

std::size_t SkipDigits(std::string_view text, std::size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

// The shape of a written number: where its decimal point is (npos when it
// has none) and whether the whole text is one. `points` are the characters
// that may serve as the decimal point.
struct TNumberShape {
  bool Whole = false;
  std::size_t Point = std::string_view::npos;
  bool Fraction = false;  // digits after the point
};

TNumberShape ShapeOf(std::string_view text, std::string_view points) {
  TNumberShape shape;
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
  const std::size_t integerStart = at;
  at = SkipDigits(text, at);
  bool digits = at > integerStart;
  if (at < text.size() && points.find(text[at]) != std::string_view::npos) {
    shape.Point = at;
    const std::size_t fractionStart = ++at;
    at = SkipDigits(text, at);
    shape.Fraction = at > fractionStart;
    digits = digits || shape.Fraction;
  }
  if (!digits) return shape;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    const std::size_t exponentStart = at;
    at = SkipDigits(text, at);
    if (at == exponentStart) return shape;
  }
  shape.Whole = at == text.size();
  return shape;
}

// A field written with a decimal comma ("8,977") or a decimal point ("1.5").
bool HasDecimals(std::string_view field, char point) {
  const TNumberShape shape = ShapeOf(Unquoted(field), std::string_view(&point, 1));
  return shape.Whole && shape.Point != std::string_view::npos && shape.Fraction;
}

// Splits a line outside double quotes at any of `separators`.
template <typename TVisit>
void ForEachField(std::string_view line, std::string_view separators, TVisit&& visit) {
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= line.size(); ++i) {
    if (i < line.size() && line[i] == '"') quoted = !quoted;
    if (i == line.size() || (!quoted && separators.find(line[i]) != std::string_view::npos)) {
      visit(line.substr(start, i - start));
      start = i + 1;
    }
  }
}

bool HasOutsideQuotes(std::string_view line, std::string_view characters) {
  bool quoted = false;
  for (const char ch : line) {
    if (ch == '"') quoted = !quoted;
    if (!quoted && characters.find(ch) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

TWrittenField ReadWrittenNumber(std::string_view field, char decimalSeparator) {
  TWrittenField result;
  const std::string_view text = Unquoted(field);
  if (text.empty()) return result;
  result.Kind = TFieldKind::NotNumber;
  const char points[] = {'.', decimalSeparator};
  const TNumberShape shape = ShapeOf(text, std::string_view(points, 2));
  if (!shape.Whole) return result;

  std::string number(text.front() == '+' ? text.substr(1) : text);
  if (shape.Point != std::string_view::npos) number[shape.Point - (text.front() == '+' ? 1 : 0)] = '.';
  TReal value = 0;
  const char* const end = number.data() + number.size();
  const auto read = std::from_chars(number.data(), end, value, std::chars_format::general);
  if (read.ptr != end) return result;
  if (read.ec == std::errc::result_out_of_range) {
    // Beyond the range of a long double: too small is 0, too large infinite.
    const auto exponent = number.find_first_of("eE");
    const bool tiny = exponent != std::string::npos && exponent + 1 < number.size() && number[exponent + 1] == '-';
    value = tiny ? 0 : std::numeric_limits<TReal>::infinity();
    if (number.front() == '-') value = -value;
  } else if (read.ec != std::errc{}) {
    return result;
  }
  result.Kind = TFieldKind::Number;
  result.Value = value;
  return result;
}

bool IsMissingMarker(std::string_view field) {
  const std::string_view text = Unquoted(field);
  if (text.empty()) return true;
  if (text.front() == '#') return true;
  std::string upper(text);
  std::transform(upper.begin(), upper.end(), upper.begin(), Upper);
  static constexpr std::array<std::string_view, 13> Markers = {
      "NA", "NAN", "N/A", "NULL", "NONE", "INF", "-INF", "+INF", "INFINITY", "-INFINITY", "-", ".", "?"};
  return std::find(Markers.begin(), Markers.end(), upper) != Markers.end();
}

TDecimalGuess GuessDecimalSeparator(const std::vector<std::string>& lines, char systemSeparator, char listSeparator,
                                    TTextSource source) {
  std::string separators = ";\t";
  if (listSeparator != ',' && listSeparator != '.' && listSeparator != '"' && listSeparator != '\0')
    separators.push_back(listSeparator);
  // A file whose fields are not told apart by those is comma-separated.
  if (source == TTextSource::File && std::none_of(lines.begin(), lines.end(), [&](const std::string& line) {
        return HasOutsideQuotes(line, separators);
      }))
    separators = ",";

  bool commas = false;
  bool points = false;
  for (const std::string& line : lines)
    ForEachField(line, separators, [&](std::string_view field) {
      commas = commas || HasDecimals(field, ',');
      // Pasted "1.5,2.5" is a list: its commas separate numbers with points.
      if (source == TTextSource::Clipboard)
        ForEachField(field, ",", [&](std::string_view part) { points = points || HasDecimals(part, '.'); });
      else
        points = points || HasDecimals(field, '.');
    });
  TDecimalGuess guess;
  guess.Separator = systemSeparator;
  if (commas != points) {
    guess.Separator = commas ? ',' : '.';
    guess.FromText = true;
  }
  return guess;
}

std::string NotNumbersMessage(int count, int firstRow, int firstColumn) {
  const std::string place = "row " + std::to_string(firstRow) + ", column " + std::to_string(firstColumn);
  if (count == 1) return "1 field of this file is not a number and was left empty: " + place + ".";
  return std::to_string(count) + " fields of this file are not numbers and were left empty; the first is in " + place +
         ".";
}

}  // namespace ombrel
