#pragma once

#include <cstdint>
#include <ostream>

#include "core/base/StatusCodes.h"

namespace ombrel {

class TDocument;

// Computes the document's report afresh (RunAnalysis with a silent
// progress) and prints every line of it to `out`, each ended by "\n". The
// bold, underline and italic marker bytes are removed unless `keepMarkers`.
// Returns the table's StatusCode after the analysis (0 also for the
// "no data" reports, which are not refusals).
TStatusCode PrintReport(TDocument& document, std::ostream& out, bool keepMarkers);

}  // namespace ombrel
