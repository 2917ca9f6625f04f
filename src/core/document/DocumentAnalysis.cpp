#include "core/document/DocumentAnalysis.h"

namespace ombrel {

TAnalysisJob AnalysisJobOf(TDocument& document) {
  return TAnalysisJob{document.Table,
                      document.TwoByTwo,
                      document.Choices,
                      document.Format,
                      document.ResultsStale,
                      document.Report,
                      document.Results,
                      document.Regression,
                      document.MultipleRegressionResults,
                      document.SelectedPairsInUse,
                      document.EffectSizes};
}

void RunAnalysis(TDocument& document, TCalcProgress& progress, const TAnalysisRoutines& routines) {
  RunAnalysis(AnalysisJobOf(document), progress, routines, [&document] { document.UpdateChooseTestState(); });
}

}  // namespace ombrel
