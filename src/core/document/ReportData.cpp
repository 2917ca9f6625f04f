#include "core/document/ReportData.h"

#include "core/analysis/AnalysisRecord.h"
#include "core/base/Version.h"
#include "core/document/Document.h"

namespace ombrel {

std::string_view DataFormatName(TDataFormat format) {
  switch (format) {
    case TDataFormat::XY:
      return "xy";
    case TDataFormat::MeanSdN:
      return "meanSdN";
    case TDataFormat::MeanSemN:
      return "meanSemN";
    case TDataFormat::TwoByTwo:
      return "twoByTwo";
    case TDataFormat::LargerTable:
      return "largerTable";
    case TDataFormat::MultipleRegression:
      return "multipleRegression";
    case TDataFormat::Raw:
      break;
  }
  return "raw";
}

TResultValue ReportResultTree(const TReportResults& results, std::string_view fileName, std::string_view title,
                              TDataFormat format) {
  TResultValue program = TResultValue::Object();
  program.AddText("name", ProgramName).AddText("version", ProgramVersion);
  TResultValue source = TResultValue::Object();
  source.AddText("file", fileName).AddText("title", title).AddText("dataFormat", DataFormatName(format));
  TResultValue analyses = TResultValue::Array();
  for (const TAnalysisRecord& record : results.Analyses) analyses.Push(AnalysisRecordTree(record));

  TResultValue tree = TResultValue::Object();
  tree.Add("program", program).Add("document", source);
  tree.Add("notice", results.Notice.empty() ? TResultValue::Null() : TResultValue::Text(results.Notice));
  tree.Add("analyses", analyses);
  return tree;
}

TResultValue ReportResultTree(const TDocument& document, std::string_view fileName) {
  return ReportResultTree(document.Results, fileName, document.Table.Title(), document.Format);
}

}  // namespace ombrel
