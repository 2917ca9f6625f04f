#include "document/Analyze.h"
#include "document/ChooseTestPage.h"
#include "document/DataEntryPage.h"
#include "document/DataFormatPage.h"
#include "document/GraphPage.h"
#include "document/ResultsPage.h"
#include "document/SummaryPage.h"

namespace ombrel {

TDocumentPage* CreateDocumentPage(TStep step, Analyze& form) {
  switch (step) {
    case TStep::DataFormat:
      return new TDataFormatPage(form);
    case TStep::DataEntry:
      return new TDataEntryPage(form);
    case TStep::ColumnStats:
      return new TSummaryPage(form);
    case TStep::ChooseTest:
      return new TChooseTestPage(form);
    case TStep::Results:
      return new TResultsPage(form);
    case TStep::Graph:
      return new TGraphPage(form);
    case TStep::Loading:
      break;
  }
  return new TPlaceholderPage(form, step);
}

}  // namespace ombrel
