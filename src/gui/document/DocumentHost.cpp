#include "document/DocumentHost.h"

#include "document/Analyze.h"

namespace ombrel {

void TDocumentHost::RequestPreviousStep(Analyze& form) {
  const TStep previous = PreviousStep(form.Document().Format, form.Step());
  if (previous != form.Step()) RequestStep(form, previous);
}

}  // namespace ombrel
