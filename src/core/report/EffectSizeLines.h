#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/EmptyValue.h"

// The closing section of a report: its effect sizes with their confidence
// intervals, the method that gave the P value, and the result as one APA
// (7th edition) sentence. Every function takes plain figures, so each family
// of tests writes the section from its own result.

namespace ombrel {

class TReportText;

inline constexpr std::string_view EffectSizeHeading = "Effect size and method";

// An empty line and the underlined heading "Effect size and method".
void WriteEffectSizeHeading(TReportText& report);

// "NAME = VALUE, 95% CI LOW to HIGH": the numbers as the report writes its
// statistics (digits -5: four significant digits below 1, three decimals
// below 100); without the interval when either limit is empty; "NAME cannot
// be calculated from these data." when the value is.
std::string EffectSizeLineText(std::string_view name, TReal value, TReal lower = EmptyValue, TReal upper = EmptyValue);
void WriteEffectSizeLine(TReportText& report, std::string_view name, TReal value, TReal lower = EmptyValue,
                         TReal upper = EmptyValue);

// How the P value was found.
enum class TPMethod {
  Distribution,  // from a distribution: "P from the t distribution"
  Exact,         // "exact P by complete enumeration of N arrangements"
  Approximate,   // "P by the normal approximation", with its tie handling
};

// How ties entered an approximate P (ignored for the other methods).
enum class TTieHandling { NotStated, Corrected, NotCorrected, NoTies };

// The values of one group: how many were used, and how many were left out
// because their cells were empty or excluded.
struct TGroupCount {
  std::string Name;
  std::int32_t Used = 0;
  std::int32_t Empty = 0;
  std::int32_t Excluded = 0;
  std::int32_t Unpaired = 0;  // left out because the other value of its pair is missing
};

struct TMethodFacts {
  TPMethod PMethod = TPMethod::Distribution;
  // The distribution or the approximation, as words after "from" or "by":
  // "the t distribution", "the normal approximation".
  std::string Source;
  std::uint64_t Arrangements = 0;
  TTieHandling Ties = TTieHandling::NotStated;
  // Facts of the test's own about how P was found, said after it: why an
  // exact count was not taken, values the ranking left out.
  std::vector<std::string> Notes;
  std::int32_t Tails = 0;  // 1 or 2; 0 leaves the tails unsaid
  std::vector<TGroupCount> Groups;
  std::string PostTest;  // the post test's name; empty for none
};

// "Method: exact P by complete enumeration of 3432 arrangements;
// two-tailed; N used: Control 7, Treated 6; left out: Treated 1 empty;
// post test: Dunn." Parts without facts are left out.
std::string MethodLineText(const TMethodFacts& facts);
// The method line, wrapped at spaces into lines of at most 78 columns, the
// continuations indented under the text.
void WriteMethodLine(TReportText& report, const TMethodFacts& facts);

// APA pieces. Latin statistic symbols are italic (Italic("t"), Italic("d"));
// Greek ones written as words are not ("chi-square", "eta squared").
// Italic puts the report's italic marker on either side of a text, which
// the viewer and the HTML show as italics.
std::string Italic(std::string_view text);
// Two decimals; without the leading zero for statistics that cannot exceed
// 1 in size (correlations, proportions of variance).
std::string ApaNumber(TReal value, bool leadingZero = true);
// Degrees of freedom: whole numbers as integers, others with two decimals.
std::string ApaDf(TReal df);
// "p = .006", "p < .001", "p > .999" (three decimals, no leading zero).
std::string ApaP(TReal p);
// "t(14) = 3.26" from a symbol and the df text (empty for none:
// "U = 12.50"). Empty when the value is.
std::string ApaStatistic(std::string_view symbol, std::string_view df, TReal value);
// "d = 1.63, 95% CI [0.47, 2.75]", without the interval when a limit is
// empty. Empty when the value is.
std::string ApaEffect(std::string_view symbol, TReal value, TReal lower = EmptyValue, TReal upper = EmptyValue,
                      bool leadingZero = true);
// "APA: " and the non-empty parts joined by ", ".
std::string ApaLineText(std::initializer_list<std::string_view> parts);
std::string ApaLineText(const std::vector<std::string>& parts);
// The APA line, wrapped as the method line is when it is longer than a line.
void WriteApaLine(TReportText& report, std::initializer_list<std::string_view> parts);
void WriteApaLine(TReportText& report, const std::vector<std::string>& parts);

}  // namespace ombrel
