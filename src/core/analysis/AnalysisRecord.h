#pragma once

// The results of a report as data. Every analysis a report runs leaves one
// TAnalysisRecord: its name, the choices it ran with, its refusal or its
// results, the method facts that decided the computation, and each of its
// report tables as rows of named values. `ombrel-cli report --json` writes
// them (core/document/ReportData); the text report is written from the same
// result struct, so the two always agree.
//
// Keys are lowerCamelCase; docs/REPORT-JSON.md lists the conventions.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/DataTable.h"
#include "core/base/ResultValue.h"
#include "core/base/StatusCodes.h"
#include "core/report/EffectSizeLines.h"
#include "core/stats/EffectSizes.h"

namespace ombrel {

class TCalcProgress;
class TReportText;

// One measure of the closing "Effect size and method" section: its name as
// the report writes it ("Cohen's d") and its value with the 95% confidence
// interval (empty limits where none is defined).
struct TNamedEffectSize {
  std::string Name;
  TEffectSize Size;
};

// The closing section of an analysis: its effect sizes, the facts of the
// method that gave its P value, and the parts of its APA sentence (with the
// report's italic markers around the statistic symbols).
struct TEffectSection {
  std::vector<TNamedEffectSize> Sizes;
  TMethodFacts Method;
  std::vector<std::string> Apa;
};

struct TAnalysisRecord {
  // "pairedTTest", "pearsonCorrelation", ...: what ran.
  std::string Analysis;
  // The request the analysis ran with (an object).
  TResultValue Choices = TResultValue::Object();
  // Ok, or the refusal (or fault) that replaced the report.
  TStatusCode Status = TStatusCode::Ok;
  // Filled by the family from its result struct; null when refused, and for
  // a family whose results are not data yet.
  TResultValue Results;
  TResultValue Method;
  TResultValue Tables;
  // The effect-size section: filled by every family that has one, written
  // at the end of the report when asked for and always part of the JSON.
  std::optional<TEffectSection> Effect;
  // The report lines the analysis wrote: FirstLine up to, not including,
  // EndLine (GetLine's numbering).
  int FirstLine = 0;
  int EndLine = 0;
};

// Starts the record of one analysis: what ran, its choices and its status.
// True when it ran (Ok), so that its results, method, tables and effect
// section follow; a refused analysis keeps them null.
bool BeginRecord(TAnalysisRecord& record, std::string_view analysis, TResultValue choices, TStatusCode status);

// Everything a report computed: a notice instead of any analysis when a
// check stopped the report ("Until you enter data, ..."), else one record
// per analysis, in report order.
struct TReportResults {
  std::string Notice;
  std::vector<TAnalysisRecord> Analyses;
};

// What an analysis entry point works on: the table it reads (and whose
// StatusCode it sets), the report it writes, the progress of exact
// computations and the record it fills.
struct TAnalysisRun {
  TDataTable& Table;
  TReportText& Report;
  TCalcProgress& Progress;
  TAnalysisRecord& Record;
};

// The lines of one analysis's effect section (without the heading): a line
// per effect size, the method line and the APA line.
void WriteEffectSection(TReportText& report, const TEffectSection& section);
// {"sizes": [{"name", "value", "lower95", "upper95"}], "methodText", "apa"}
// with the marker bytes taken out of the texts.
TResultValue EffectSectionTree(const TEffectSection& section);

// A refusal's message: its report lines joined by a space.
std::string RefusalMessage(TStatusCode code);

// One record as JSON writes it: analysis, choices, refusal (null, or code
// and message), results, method, tables.
TResultValue AnalysisRecordTree(const TAnalysisRecord& record);

// A column as the results name it: its letter ("A"), or null for a column
// the report computes (the paired differences).
TResultValue ColumnLetterValue(int column);

// How many values of a column an analysis used and how many of the column's
// values it left out (excluded cells, values without a partner), and how
// many cells above the column's last value were left empty.
struct TColumnUse {
  int Column = 0;
  std::string Title;
  std::int32_t Used = 0;
  std::int32_t LeftOut = 0;
  std::int32_t Excluded = 0;  // of LeftOut: excluded values
  std::int32_t Empty = 0;     // empty cells between the first row and the column's last value
};
// The values typed in a column (excluded ones too), rows 0 to LastRow.
std::int32_t TypedValueCount(const TDataTable& table, int column);
// The use of an analysis column (mapped as GetAnalysisValue maps it) of
// which `used` values entered the analysis: its typed values, excluded
// ones and empty cells counted from the table.
TColumnUse ColumnUseOf(const TDataTable& table, int column, std::string title, std::int32_t used);
// {"column", "title", "nUsed", "nLeftOut", "nExcluded", "nEmpty"} per column.
TResultValue ColumnUseTree(const std::vector<TColumnUse>& columns);
// The groups of a method line: used, empty, excluded and without a partner.
std::vector<TGroupCount> GroupCountsOf(const std::vector<TColumnUse>& columns);

}  // namespace ombrel
