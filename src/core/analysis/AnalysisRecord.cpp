#include "core/analysis/AnalysisRecord.h"

#include <algorithm>

#include "core/report/ReportText.h"

namespace ombrel {

bool BeginRecord(TAnalysisRecord& record, std::string_view analysis, TResultValue choices, TStatusCode status) {
  record.Analysis = std::string(analysis);
  record.Choices = std::move(choices);
  record.Status = status;
  return status == TStatusCode::Ok;
}

std::string RefusalMessage(TStatusCode code) {
  std::string message;
  for (const std::string_view line : ErrorMessageLines(code)) {
    if (!message.empty()) message += ' ';
    message += line;
  }
  if (message.empty())
    message = "The analysis could not be completed (error " + std::to_string(static_cast<int>(code)) + ").";
  return message;
}

TResultValue AnalysisRecordTree(const TAnalysisRecord& record) {
  TResultValue tree = TResultValue::Object();
  tree.AddText("analysis", record.Analysis);
  tree.Add("choices", record.Choices);
  if (record.Status == TStatusCode::Ok) {
    tree.Add("refusal", TResultValue::Null());
    tree.Add("results", record.Results);
    tree.Add("method", record.Method);
    tree.Add("tables", record.Tables);
    tree.Add("effect", record.Effect ? EffectSectionTree(*record.Effect) : TResultValue::Null());
    return tree;
  }
  TResultValue refusal = TResultValue::Object();
  refusal.AddInteger("code", static_cast<std::int64_t>(record.Status));
  refusal.AddText("message", RefusalMessage(record.Status));
  tree.Add("refusal", refusal);
  tree.Add("results", TResultValue::Null());
  tree.Add("method", TResultValue::Null());
  tree.Add("tables", TResultValue::Null());
  tree.Add("effect", TResultValue::Null());
  return tree;
}

namespace {

std::string WithoutMarkers(std::string text) {
  std::erase_if(text, [](char ch) { return ch == BoldMarker || ch == UnderlineMarker || ch == ItalicMarker; });
  return text;
}

}  // namespace

void WriteEffectSection(TReportText& report, const TEffectSection& section) {
  for (const TNamedEffectSize& size : section.Sizes)
    WriteEffectSizeLine(report, size.Name, size.Size.Value, size.Size.Lower, size.Size.Upper);
  WriteMethodLine(report, section.Method);
  if (!section.Apa.empty()) WriteApaLine(report, section.Apa);
}

TResultValue EffectSectionTree(const TEffectSection& section) {
  TResultValue sizes = TResultValue::Array();
  for (const TNamedEffectSize& size : section.Sizes) {
    TResultValue row = TResultValue::Object();
    row.AddText("name", size.Name);
    row.AddReal("value", size.Size.Value);
    row.AddReal("lower95", size.Size.Lower);
    row.AddReal("upper95", size.Size.Upper);
    sizes.Push(std::move(row));
  }
  TResultValue tree = TResultValue::Object();
  tree.Add("sizes", std::move(sizes));
  tree.AddText("methodText", MethodLineText(section.Method));
  tree.AddText("apa", section.Apa.empty() ? std::string() : WithoutMarkers(ApaLineText(section.Apa)));
  return tree;
}

TResultValue ColumnLetterValue(int column) {
  if (column < 0 || column >= MaxColumns) return TResultValue::Null();
  return TResultValue::Text(std::string(1, ColumnLetter(column)));
}

std::int32_t TypedValueCount(const TDataTable& table, int column) {
  const int mapped = table.MapColumn(column);
  if (mapped < 0 || mapped >= MaxColumns) return 0;
  std::int32_t count = 0;
  for (int row = 0; row <= table.LastRow(); ++row)
    if (!table.IsCellEmpty(row, mapped)) ++count;
  return count;
}

TColumnUse ColumnUseOf(const TDataTable& table, int column, std::string title, std::int32_t used) {
  TColumnUse use{column, std::move(title), used};
  const int mapped = table.MapColumn(column);
  if (mapped < 0 || mapped >= MaxColumns) return use;
  std::int32_t typed = 0;
  int lastValue = -1;
  for (int row = 0; row <= table.LastRow(); ++row) {
    if (table.IsCellEmpty(row, mapped)) continue;
    ++typed;
    lastValue = row;
    if (table.IsExcluded(row, mapped)) ++use.Excluded;
  }
  use.LeftOut = std::max(0, typed - used);
  use.Excluded = std::min(use.Excluded, use.LeftOut);
  use.Empty = lastValue + 1 - typed;
  return use;
}

std::vector<TGroupCount> GroupCountsOf(const std::vector<TColumnUse>& columns) {
  std::vector<TGroupCount> groups;
  for (const TColumnUse& use : columns)
    groups.push_back({use.Title, use.Used, use.Empty, use.Excluded, std::max(0, use.LeftOut - use.Excluded)});
  return groups;
}

TResultValue ColumnUseTree(const std::vector<TColumnUse>& columns) {
  TResultValue tree = TResultValue::Array();
  for (const TColumnUse& use : columns) {
    TResultValue row = TResultValue::Object();
    row.Add("column", ColumnLetterValue(use.Column));
    row.AddText("title", use.Title);
    row.AddInteger("nUsed", use.Used);
    row.AddInteger("nLeftOut", use.LeftOut);
    row.AddInteger("nExcluded", use.Excluded);
    row.AddInteger("nEmpty", use.Empty);
    tree.Push(std::move(row));
  }
  return tree;
}

}  // namespace ombrel
