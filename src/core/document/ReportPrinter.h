#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

#include "core/base/StatusCodes.h"

namespace ombrel {

class TDocument;

// Computes the document's report afresh (RunAnalysis with a silent
// progress, exact P values to the end), whatever report it held. Returns
// the table's StatusCode after the analysis.
TStatusCode ComputeReport(TDocument& document);

// The title of an exported report page: the data set title, else the
// document's file name without folder and extension, else "Ombrel Results".
std::string ReportPageTitle(const TDocument& document, std::string_view fileName);

// Computes the document's report afresh (RunAnalysis with a silent
// progress) and prints every line of it to `out`, each ended by "\n". The
// bold, underline and italic marker bytes are removed unless `keepMarkers`.
// Returns the table's StatusCode after the analysis (0 also for the
// "no data" reports, which are not refusals).
TStatusCode PrintReport(TDocument& document, std::ostream& out, bool keepMarkers);

}  // namespace ombrel
