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

TResultValue ReportResultTree(const TDocument& document, std::string_view fileName) {
  TResultValue program = TResultValue::Object();
  program.AddText("name", ProgramName).AddText("version", ProgramVersion);
  TResultValue source = TResultValue::Object();
  source.AddText("file", fileName).AddText("title", document.Table.Title());
  source.AddText("dataFormat", DataFormatName(document.Format));
  TResultValue analyses = TResultValue::Array();
  for (const TAnalysisRecord& record : document.Results.Analyses) analyses.Push(AnalysisRecordTree(record));

  TResultValue tree = TResultValue::Object();
  tree.Add("program", program).Add("document", source);
  tree.Add("notice",
           document.Results.Notice.empty() ? TResultValue::Null() : TResultValue::Text(document.Results.Notice));
  tree.Add("analyses", analyses);
  return tree;
}

}  // namespace ombrel
