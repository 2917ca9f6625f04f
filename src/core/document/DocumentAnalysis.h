#pragma once

#include "core/analysis/RunAnalysis.h"
#include "core/document/Document.h"

namespace ombrel {

// The parts of `document` an analysis reads and writes.
TAnalysisJob AnalysisJobOf(TDocument& document);

// Computes the document's report from its data format and choices: brings
// the choose-test state up to date, runs the analysis of its format and
// clears ResultsStale. Never throws.
void RunAnalysis(TDocument& document, TCalcProgress& progress,
                 const TAnalysisRoutines& routines = DefaultAnalysisRoutines());

}  // namespace ombrel
