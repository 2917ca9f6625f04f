#pragma once

#include <string_view>

#include "core/base/ResultValue.h"
#include "core/base/TestChoices.h"

namespace ombrel {

class TDocument;
struct TReportResults;

// "xy", "raw", "meanSdN", "meanSemN", "twoByTwo", "largerTable" or
// "multipleRegression".
std::string_view DataFormatName(TDataFormat format);

// The document's last computed report as data, the object `report --json`
// prints: program (name, version), document (file as given, title, data
// format), the notice of a check that stopped the report (or null), and one
// entry per analysis (AnalysisRecordTree). docs/REPORT-JSON.md describes it
// and docs/report-json.schema.json fixes it.
TResultValue ReportResultTree(const TDocument& document, std::string_view fileName);
// The same from a report's results and the document's title and format.
TResultValue ReportResultTree(const TReportResults& results, std::string_view fileName, std::string_view title,
                              TDataFormat format);

}  // namespace ombrel
