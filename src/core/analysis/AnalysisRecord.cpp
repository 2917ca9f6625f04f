#include "core/analysis/AnalysisRecord.h"

#include "core/report/ReportText.h"

namespace ombrel {

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
    return tree;
  }
  TResultValue refusal = TResultValue::Object();
  refusal.AddInteger("code", static_cast<std::int64_t>(record.Status));
  refusal.AddText("message", RefusalMessage(record.Status));
  tree.Add("refusal", refusal);
  tree.Add("results", TResultValue::Null());
  tree.Add("method", TResultValue::Null());
  tree.Add("tables", TResultValue::Null());
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

TResultValue ColumnUseTree(const std::vector<TColumnUse>& columns) {
  TResultValue tree = TResultValue::Array();
  for (const TColumnUse& use : columns) {
    TResultValue row = TResultValue::Object();
    row.Add("column", ColumnLetterValue(use.Column));
    row.AddText("title", use.Title);
    row.AddInteger("nUsed", use.Used);
    row.AddInteger("nLeftOut", use.LeftOut);
    tree.Push(std::move(row));
  }
  return tree;
}

}  // namespace ombrel
