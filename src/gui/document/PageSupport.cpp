#include "gui/document/PageSupport.h"

#include "gui/document/Analyze.h"
#include "gui/document/DocumentPage.h"

namespace ombrel {

void NoteDocumentChanged(TDocumentPage& page) { page.Form().NoteDocumentChanged(); }

}  // namespace ombrel
