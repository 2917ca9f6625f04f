#include "core/base/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>

namespace ombrel {

namespace {

// An extended value carries 18 to 19 significant decimal digits; rounding on
// 18 of them makes 2.675 round to 2.68 as the user reads it, not to 2.67 as
// the binary value would.
constexpr int SignificantDigits = 18;
constexpr int MaxDecimals = 40;
constexpr std::size_t MaxHelperLength = 80;

struct TDecimalDigits {
  bool Negative = false;
  std::string Digits;  // SignificantDigits digits, first one non-zero unless the value is 0
  int Exponent = 0;    // value = d.ddd... x 10^Exponent
};

TDecimalDigits Decompose(TReal value) {
  TDecimalDigits result;
  result.Negative = std::signbit(value);
  char buffer[64];
  const auto converted = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific,
                                       SignificantDigits - 1);
  const std::string_view text(buffer, static_cast<std::size_t>(converted.ptr - buffer));
  const auto e = text.find('e');
  for (char ch : text.substr(0, e))
    if (ch >= '0' && ch <= '9') result.Digits.push_back(ch);
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+' ? 1 : 0), text.data() + text.size(), result.Exponent);
  return result;
}

// Keeps the first `keep` digits (keep may be <= 0 or beyond the digits) and
// rounds half away from zero on the next one. Returns the kept digits,
// possibly one longer after a carry ("999" -> "1000").
std::string RoundDigits(const std::string& digits, int keep, bool& carried) {
  carried = false;
  if (keep < 0) return std::string();
  std::string kept = digits.substr(0, static_cast<std::size_t>(std::min<int>(keep, static_cast<int>(digits.size()))));
  while (static_cast<int>(kept.size()) < keep) kept.push_back('0');
  const bool roundUp = keep < static_cast<int>(digits.size()) && digits[static_cast<std::size_t>(keep)] >= '5';
  if (roundUp) {
    int i = static_cast<int>(kept.size()) - 1;
    while (i >= 0 && kept[static_cast<std::size_t>(i)] == '9') kept[static_cast<std::size_t>(i--)] = '0';
    if (i >= 0) {
      ++kept[static_cast<std::size_t>(i)];
    } else {
      kept.insert(kept.begin(), '1');
      carried = true;
    }
  }
  return kept;
}

std::string Trimmed(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) < 33) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) < 33) --end;
  return std::string(text.substr(begin, end - begin));
}

std::string Limited(std::string text) {
  if (text.size() > MaxHelperLength) text.resize(MaxHelperLength);
  return text;
}

}  // namespace

std::string FormatFixed(TReal value, int decimals) {
  decimals = std::clamp(decimals, 0, MaxDecimals);
  if (!std::isfinite(value)) return std::string();
  const TDecimalDigits parts = Decompose(value);
  // The kept digits run from 10^Exponent down to 10^-decimals, so after
  // rounding they are the integer value x 10^decimals.
  bool carried = false;
  std::string units = RoundDigits(parts.Digits, parts.Exponent + 1 + decimals, carried);
  const std::size_t minimumLength = static_cast<std::size_t>(decimals) + 1;
  if (units.size() < minimumLength) units.insert(0, minimumLength - units.size(), '0');
  const bool allZero = std::all_of(units.begin(), units.end(), [](char ch) { return ch == '0'; });
  std::string text;
  if (parts.Negative && !allZero) text.push_back('-');
  const std::size_t pointAt = units.size() - static_cast<std::size_t>(decimals);
  text.append(units, 0, pointAt);
  if (decimals > 0) {
    text.push_back('.');
    text.append(units, pointAt, std::string::npos);
  }
  return text;
}

std::string FormatScientific(TReal value) {
  if (!std::isfinite(value)) return std::string();
  const TDecimalDigits parts = Decompose(value);
  bool carried = false;
  std::string kept = RoundDigits(parts.Digits, 4, carried);
  int exponent = parts.Exponent;
  if (carried) {
    kept.resize(4);
    ++exponent;
  }
  std::string text;
  if (parts.Negative) text.push_back('-');
  text.push_back(kept[0]);
  text.push_back('.');
  text.append(kept, 1, 3);
  text.push_back('E');
  text.push_back(exponent < 0 ? '-' : '+');
  std::string exponentDigits = std::to_string(std::abs(exponent));
  if (exponentDigits.size() < 2) exponentDigits.insert(exponentDigits.begin(), '0');
  text += exponentDigits;
  return text;
}

std::string NumberText(TReal value, int width, int decimals) {
  if (IsEmpty(value) || !std::isfinite(value)) return std::string(static_cast<std::size_t>(std::max(width, 0)), ' ');
  const TReal magnitude = std::fabs(value);
  std::string text;
  if (value != 0 && (magnitude > 10000000.0L || magnitude <= 0.0001L)) {
    text = FormatScientific(value);
  } else {
    text = FormatFixed(value, decimals);
  }
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
  return text;
}

int Magnitude(TReal value) {
  if (value == 0 || !std::isfinite(value)) return 1;
  return static_cast<int>(std::trunc(std::log10(std::fabs(value)) + 10000.0L)) - 10000;
}

int DecimalsForDigits(TReal value, int digits) {
  if (digits >= 0) return digits;
  const int n = -digits;
  const int m = Magnitude(value);
  if (m >= 1) return std::max(n - m - 1, 0);
  return n - m - 2;
}

int WidthForDigits(TReal value, int digits) {
  const int m = Magnitude(value);
  int width = DecimalsForDigits(value, digits) + 2;
  if (m >= 2) width += m;
  return width;
}

std::string PadRight(std::string_view text, int width) {
  std::string result = Trimmed(text);
  if (static_cast<int>(result.size()) < width) result.append(static_cast<std::size_t>(width) - result.size(), ' ');
  return Limited(std::move(result));
}

std::string PadLeft(std::string_view text, int width) {
  std::string result = Trimmed(text);
  if (static_cast<int>(result.size()) < width) result.insert(0, static_cast<std::size_t>(width) - result.size(), ' ');
  return Limited(std::move(result));
}

std::string CenterText(std::string_view text, int width) {
  std::string result(text);
  const int left = (width - static_cast<int>(result.size())) / 2;
  if (left > 0) result.insert(0, static_cast<std::size_t>(left), ' ');
  if (static_cast<int>(result.size()) < width) result.append(static_cast<std::size_t>(width) - result.size(), ' ');
  return Limited(std::move(result));
}

}  // namespace ombrel
