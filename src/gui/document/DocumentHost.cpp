#include "gui/document/DocumentHost.h"

#include "gui/document/Analyze.h"

namespace ombrel {

void TDocumentHost::RequestPreviousStep(Analyze& form) {
  const TStep previous = PreviousStep(form.Document().Format, form.Step());
  if (previous != form.Step()) RequestStep(form, previous);
}

void TDocumentHost::BeginStatus(const QString&) {}

void TDocumentHost::EndStatus() {}

}  // namespace ombrel
