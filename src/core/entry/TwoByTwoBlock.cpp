#include "core/entry/TwoByTwoBlock.h"

#include <vector>

#include "core/entry/IntFieldText.h"

namespace ombrel {

namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  return lines;
}

}  // namespace

std::string TwoByTwoBlockText(const TTwoByTwoTable& table) {
  return IntFieldText(table.A) + '\t' + IntFieldText(table.B) + "\r\n" + IntFieldText(table.C) + '\t' +
         IntFieldText(table.D) + "\r\n";
}

std::optional<std::array<TReal, 4>> ParseTwoByTwoBlock(std::string_view text) {
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.size() != 2) return std::nullopt;
  std::array<TReal, 4> counts{};
  std::size_t next = 0;
  for (const std::string_view line : lines) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos || line.find('\t', tab + 1) != std::string_view::npos) return std::nullopt;
    for (const std::string_view field : {line.substr(0, tab), line.substr(tab + 1)}) {
      const TIntFieldValue value = ParseIntFieldText(field);
      if (value.Status == TIntFieldStatus::NotValid || value.Status == TIntFieldStatus::OutOfRange) return std::nullopt;
      counts[next++] = value.Value;
    }
  }
  return counts;
}

}  // namespace ombrel
