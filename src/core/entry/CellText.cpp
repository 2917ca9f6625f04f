#include "core/entry/CellText.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/base/DataTable.h"
#include "core/base/NumberText.h"
#include "core/entry/WrittenNumbers.h"

namespace ombrel {

namespace {

constexpr int ScientificDigits = 7;
// Rounding works on 18 significant digits so that the user's decimal value,
// not its binary neighbour, decides a half-way case.
constexpr int SignificantDigits = 18;

bool IsBlank(char ch) { return static_cast<unsigned char>(ch) < 33; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string CleanedCellText(std::string_view text) {
  std::string cleaned;
  bool pointSeen = false;
  bool minusSeen = false;
  bool exponentSeen = false;
  for (const char ch : text) {
    const bool afterExponent = !cleaned.empty() && cleaned.back() == 'E';
    if (IsBlank(ch) || ch == '+') continue;
    if (ch == ',' || ch == '.') {
      if (!pointSeen) cleaned.push_back('.');
      pointSeen = true;
    } else if (ch == '-') {
      // The exponent's own sign is not a second minus: without it -2e-3
      // would silently become -2000.
      if (afterExponent || !minusSeen) cleaned.push_back('-');
      minusSeen = true;
    } else if (ch == 'E' || ch == 'e') {
      if (!exponentSeen) cleaned.push_back('E');
      exponentSeen = true;
    } else {
      cleaned.push_back(ch);
    }
  }
  while (!cleaned.empty() && (cleaned.back() == '-' || cleaned.back() == '.' || cleaned.back() == 'E'))
    cleaned.pop_back();
  return cleaned;
}

std::string ScientificCellText(TReal value) {
  char buffer[64];
  const auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific,
                                       SignificantDigits - 1);
  const std::string_view text(buffer, static_cast<std::size_t>(converted.ptr - buffer));
  const std::size_t e = text.find('e');
  std::string digits;
  for (const char ch : text.substr(0, e))
    if (ch != '.') digits.push_back(ch);
  int exponent = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), exponent);

  std::string kept = digits.substr(0, ScientificDigits);
  if (digits[ScientificDigits] >= '5') {
    int i = ScientificDigits - 1;
    while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++kept[static_cast<std::size_t>(i)];
    } else {
      kept.insert(kept.begin(), '1');
      kept.pop_back();
      ++exponent;
    }
  }

  std::string result(1, std::signbit(value) ? '-' : ' ');
  result.push_back(kept[0]);
  result.push_back('.');
  result.append(kept, 1, std::string::npos);
  result.push_back('E');
  result.push_back(exponent < 0 ? '-' : '+');
  std::string exponentDigits = std::to_string(std::abs(exponent));
  if (exponentDigits.size() < 2) exponentDigits.insert(exponentDigits.begin(), '0');
  result += exponentDigits;
  return result;
}

}  // namespace

TReal ParseCellText(std::string_view text) {
  const std::string cleaned = CleanedCellText(text.substr(0, std::min<std::size_t>(text.size(), MaxCellTextLength)));
  if (cleaned.empty()) return EmptyValue;
  TReal value = 0;
  const char* const end = cleaned.data() + cleaned.size();
  const auto result = std::from_chars(cleaned.data(), end, value, std::chars_format::general);
  if (result.ec != std::errc{} || result.ptr != end) return EmptyValue;
  if (!std::isfinite(value) || std::fabs(value) > MaxEnteredValue) return EmptyValue;
  return value;
}

TTypedNumber ReadTypedNumber(std::string_view text, char decimalSeparator) {
  // A typed number follows the same form as a written one.
  const TWrittenField field = ReadWrittenNumber(text, decimalSeparator);
  switch (field.Kind) {
    case TFieldKind::Empty:
      return {};
    case TFieldKind::NotNumber:
      return {TTypedKind::NotANumber, EmptyValue};
    case TFieldKind::Number:
      break;
  }
  if (!std::isfinite(field.Value) || std::fabs(field.Value) > MaxEnteredValue)
    return {TTypedKind::OutOfRange, EmptyValue};
  return {TTypedKind::Number, field.Value};
}

std::string TypedNumberMessage(const TTypedNumber& typed, std::string_view text) {
  switch (typed.Kind) {
    case TTypedKind::NotANumber:
      return "\u201C" + std::string(Trimmed(text)) + "\u201D is not a number.";
    case TTypedKind::OutOfRange:
      return "The number is out of range.";
    default:
      return {};
  }
}

std::string FormatCellValue(TReal value, int places) {
  if (IsEmpty(value) || !std::isfinite(value)) return std::string();
  if (NeedsScientific(value)) return ScientificCellText(value);
  std::string text = FormatFixed(value, std::max(places, 0));
  if (text.size() > static_cast<std::size_t>(MaxCellTextLength)) text.resize(MaxCellTextLength);
  return std::string(Trimmed(text));
}

TTextDigits CountTextDigits(std::string_view text) {
  text = Trimmed(text);
  const std::size_t exponentAt = text.find_first_of("Ee");
  const std::string_view mantissa = text.substr(0, exponentAt);
  const std::size_t pointAt = mantissa.find('.');

  TTextDigits counts;
  counts.IntegerDigits = static_cast<int>(std::min(pointAt, mantissa.size()));
  if (exponentAt == std::string_view::npos) {
    if (pointAt != std::string_view::npos) counts.Decimals = static_cast<int>(mantissa.size() - pointAt - 1);
    return counts;
  }

  std::string_view exponentText = text.substr(exponentAt + 1);
  if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
  int exponent = 0;
  const char* const end = exponentText.data() + exponentText.size();
  const auto result = std::from_chars(exponentText.data(), end, exponent);
  if (exponentText.empty() || result.ec != std::errc{} || result.ptr != end) {
    counts.IntegerDigits = 1;
    return counts;
  }
  // Cell texts never carry exponents beyond a few thousand; the clamp only
  // keeps the sum below from overflowing on arbitrary text.
  exponent = std::clamp(exponent, -100000, 100000);
  const int integerDigits = counts.IntegerDigits + exponent;
  counts.IntegerDigits = integerDigits > 0 ? integerDigits : 1;
  counts.Decimals = exponent < 0 ? -exponent : 0;
  return counts;
}

int OwnDecimals(TReal value) {
  if (IsEmpty(value) || !std::isfinite(value)) return 0;
  if (NeedsScientific(value)) return CountTextDigits(ScientificCellText(value)).Decimals;
  std::string text = FormatFixed(value, 8);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  return CountTextDigits(text).Decimals;
}

bool IsCellCharacter(char ch) {
  return (ch >= '0' && ch <= '9') || ch == ',' || ch == '-' || ch == '.' || ch == 'E' || ch == 'e';
}

bool LooksLikeNumber(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsCellCharacter) &&
         std::any_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; });
}

}  // namespace ombrel
