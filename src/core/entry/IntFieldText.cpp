#include "core/entry/IntFieldText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace ombrel {

TIntFieldValue ParseIntFieldText(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  if (text.empty()) return {};
  bool negative = false;
  if (text.front() == '+' || text.front() == '-') {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return {TIntFieldStatus::NotValid, EmptyValue};
  for (const char ch : text)
    if (ch < '0' || ch > '9') return {TIntFieldStatus::NotValid, EmptyValue};
  // Digits beyond the range of the count type.
  if (text.size() > 18) return {TIntFieldStatus::OutOfRange, EmptyValue};
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
  if (error != std::errc{} || end != text.data() + text.size()) return {TIntFieldStatus::NotValid, EmptyValue};
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
    return {TIntFieldStatus::OutOfRange, EmptyValue};
  return {TIntFieldStatus::Valid, static_cast<TReal>(value)};
}

std::string IntFieldText(TReal value) {
  if (IsEmpty(value) || !std::isfinite(value)) return {};
  return std::to_string(static_cast<long long>(std::llround(value)));
}

}  // namespace ombrel
