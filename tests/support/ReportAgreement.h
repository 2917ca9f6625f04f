#pragma once

// A report's text checked against its results as data. Every number the
// report printed (TReportText records each one with its value and format)
// must equal a number of its analysis's record, rounded as printed; every
// number in the text of those lines must be one the report printed through
// its number operations, or part of the report's fixed wording ("95%",
// "P<0.05") or of a title the record holds. Then a script that reads the
// JSON reads what the report says.

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/AnalysisFrame.h"
#include "core/analysis/AnalysisRecord.h"
#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/DocumentAnalysis.h"
#include "core/document/ReportData.h"
#include "core/report/JsonText.h"
#include "core/report/ReportText.h"
#include "support/GoldenReport.h"

namespace ombrel::test {

// Numbers of the reports' fixed wording, which no result holds.
inline const std::vector<std::string_view> FixedWording = {
    "95%",
    "P<0.001",
    "P<0.01",
    "P<0.05",
    "P>0.05",
    "< 0.0001",
    "> 0.9999",
    ">0.10",
    "<0.0001",
    "(N <= 10)",
    "more than 3 points",
    "P < 0.05",
    "R2 with other X",
    "(<0.75)",
    "(>.75)",
    "(>.90)",
    "#variables - 1",
    "than 0.05.",
    "DF must exceed 5.",
    "0.5 was added",
    "greater than 1.0",
    "20% of the expected",
    "greater than 5.",
};

inline void CollectNumbers(const TResultValue& value, std::vector<double>& numbers, std::vector<std::string>& texts) {
  switch (value.Kind()) {
    case TResultValue::TKind::Integer:
      numbers.push_back(static_cast<double>(value.AsInteger()));
      break;
    case TResultValue::TKind::Real:
      // What the JSON holds: the double nearest the value.
      numbers.push_back(static_cast<double>(value.AsReal()));
      break;
    case TResultValue::TKind::Text:
      texts.push_back(value.AsText());
      break;
    case TResultValue::TKind::Array:
      for (const TResultValue& item : value.Items()) CollectNumbers(item, numbers, texts);
      break;
    case TResultValue::TKind::Object:
      for (const auto& member : value.Members()) CollectNumbers(member.second, numbers, texts);
      break;
    default:
      break;
  }
}

// Half a unit of the last digit printed: the distance within which a value
// rounds to the printed text.
inline double HalfUnit(const TReportNumber& number) {
  if (number.Form == TNumberForm::Integer) return 0.5;
  if (number.Form == TNumberForm::Fixed) return 0.5 * std::pow(10.0, -number.Decimals);
  const std::size_t e = number.Text.find('E');
  int exponent = 0;
  std::from_chars(number.Text.data() + e + (number.Text[e + 1] == '+' ? 2 : 1), number.Text.data() + number.Text.size(),
                  exponent);
  return 0.5e-3 * std::pow(10.0, exponent);
}

inline double PrintedValue(const TReportNumber& number) {
  double value = 0;
  std::from_chars(number.Text.data(), number.Text.data() + number.Text.size(), value);
  return value;
}

// The numbers printed on the record's lines agree with its tree.
inline void ExpectNumbersInRecord(const TReportText& report, const TAnalysisRecord& record) {
  std::vector<double> numbers;
  std::vector<std::string> texts;
  CollectNumbers(AnalysisRecordTree(record), numbers, texts);
  for (const TReportNumber& printed : report.Structure().Numbers) {
    if (printed.Line < record.FirstLine || printed.Line >= record.EndLine) continue;
    const double value = PrintedValue(printed);
    const double half = HalfUnit(printed) * (1 + 1e-9);
    const bool found =
        std::any_of(numbers.begin(), numbers.end(), [&](double n) { return std::fabs(n - value) <= half; });
    EXPECT_TRUE(found) << record.Analysis << ": \"" << printed.Text << "\" on line " << printed.Line + 1
                       << " is no value of the results rounded as printed";
  }
}

// Every number in the text of the record's lines was printed as a number,
// or belongs to the fixed wording or a title.
inline void ExpectNoNumberOutsideRecord(const TReportText& report, const TAnalysisRecord& record) {
  std::vector<double> numbers;
  std::vector<std::string> texts;
  CollectNumbers(AnalysisRecordTree(record), numbers, texts);
  for (int i = record.FirstLine; i < record.EndLine; ++i) {
    std::string line;
    for (const char ch : report.GetLine(i).value_or(""))
      if (ch != BoldMarker && ch != UnderlineMarker && ch != ItalicMarker) line.push_back(ch);
    std::vector<bool> covered(line.size() + 1, false);
    const auto cover = [&](std::size_t from, std::size_t to) {
      for (std::size_t c = from; c < std::min(to, line.size()); ++c) covered[c] = true;
    };
    for (const TReportNumber& n : report.Structure().Numbers)
      if (n.Line == i) cover(static_cast<std::size_t>(n.FirstColumn), static_cast<std::size_t>(n.EndColumn));
    for (const std::string_view phrase : FixedWording)
      for (std::size_t at = line.find(phrase); at != std::string::npos; at = line.find(phrase, at + 1))
        cover(at, at + phrase.size());
    for (const std::string& text : texts)
      for (std::size_t at = text.empty() ? std::string::npos : line.find(text); at != std::string::npos;
           at = line.find(text, at + 1))
        cover(at, at + text.size());
    for (std::size_t c = 0; c < line.size(); ++c)
      if (std::isdigit(static_cast<unsigned char>(line[c])) != 0 && !covered[c]) {
        ADD_FAILURE() << record.Analysis << ": a number on line " << i + 1 << " is not in its results: " << line;
        break;
      }
  }
}

// The report agrees with its records; an analysis that ran holds results.
inline void ExpectReportAgreesWithResults(const TReportText& report, const TReportResults& results) {
  for (const TAnalysisRecord& record : results.Analyses) {
    SCOPED_TRACE(record.Analysis);
    if (record.Status != TStatusCode::Ok) continue;
    EXPECT_FALSE(record.Results.IsNull()) << "an analysis that ran left no results";
    EXPECT_GT(record.EndLine, record.FirstLine) << "the record names no lines of the report";
    ExpectNumbersInRecord(report, record);
    ExpectNoNumberOutsideRecord(report, record);
  }
}

// The JSON of a report's results equals the golden file
// tests/data/reports/<name>.json (OMBREL_UPDATE_GOLDEN=1 rewrites it).
inline void ExpectGoldenJson(const TResultValue& tree, std::string_view name) {
  const std::string json = JsonText(tree);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < json.size();) {
    const std::size_t end = json.find('\n', start);
    lines.push_back(json.substr(start, end - start));
    start = end + 1;
  }
  ExpectGolden(lines, std::string(name) + ".json");
}

// A document's finished report: its text equals the golden report, its JSON
// the golden JSON, and the two agree.
inline void ExpectGoldenDocument(const TDocument& document, std::string_view name) {
  ExpectGoldenReport(document.Report, name);
  ExpectGoldenJson(ReportResultTree(document, std::string(name) + ".omd"), name);
  ExpectReportAgreesWithResults(document.Report, document.Results);
}

// The same for a report an entry point wrote without a document (a test
// that calls Run<Family>(request, run) on a table): `results` holds the
// run's record, `title` and `format` stand for the document's.
inline void ExpectGoldenRun(const TReportText& report, const TReportResults& results, std::string_view title,
                            TDataFormat format, std::string_view name) {
  ExpectGoldenReport(report, name);
  ExpectGoldenJson(ReportResultTree(results, std::string(name) + ".omd", title, format), name);
  ExpectReportAgreesWithResults(report, results);
}

// Runs a family's entry point on a table as RunAnalysis runs it: inside the
// fault frame with a record of its own, then the error report. The report
// is finished; the record names the lines the analysis wrote and holds no
// results after a refusal. Returns the table's StatusCode.
template <typename TRequest>
TStatusCode RunRecorded(void (*entry)(const TRequest&, TAnalysisRun&), const TRequest& request, TDataTable& table,
                        TCalcProgress& progress, TReportText& report, TReportResults& results) {
  report.BeginReport();
  results.Analyses.assign(1, TAnalysisRecord{});
  TAnalysisRecord& record = results.Analyses.back();
  RunGuarded(table, &report, [&] {
    TAnalysisRun run{table, report, progress, record};
    entry(request, run);
  });
  record.Status = table.StatusCode;
  if (record.Status != TStatusCode::Ok) record.Results = record.Method = record.Tables = TResultValue::Null();
  report.WriteErrorReport(table.StatusCode);
  record.EndLine = report.LineCount();
  report.FinishReport();
  return table.StatusCode;
}

// A document's report with its effect section: the text and JSON equal the
// golden files, and the one analysis's first effect size is `size`.
inline void ExpectGoldenEffectSection(TDocument& document, std::string_view golden, TReal size) {
  document.EffectSizes = true;
  TSilentCalcProgress progress;
  RunAnalysis(document, progress);
  ExpectGoldenDocument(document, golden);
  ASSERT_EQ(document.Results.Analyses.size(), 1u);
  ASSERT_TRUE(document.Results.Analyses[0].Effect.has_value());
  EXPECT_NEAR(static_cast<double>(document.Results.Analyses[0].Effect->Sizes[0].Size.Value), static_cast<double>(size),
              1e-15);
}

}  // namespace ombrel::test
