#include "gui/document/Analyze.h"
#include "gui/document/ChooseTestPage.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/DataFormatPage.h"
#include "gui/document/GraphPage.h"
#include "gui/document/ResultsPage.h"
#include "gui/document/SummaryPage.h"

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
  // The empty page shown while a document is read from a file.
  return new TDocumentPage(form, TStep::Loading);
}

}  // namespace ombrel
