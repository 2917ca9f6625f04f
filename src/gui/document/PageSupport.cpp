#include "gui/document/PageSupport.h"

#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/DocumentPage.h"

namespace ombrel {

void NoteDocumentChanged(TDocumentPage& page) {
  page.Document().MarkChanged();
  page.Form().Host().DocumentStateChanged(page.Form());
}

}  // namespace ombrel
