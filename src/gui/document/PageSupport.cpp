#include "gui/document/PageSupport.h"

#include <QDialog>
#include <QDialogButtonBox>

#include "gui/common/Asker.h"
#include "gui/common/TabChain.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/DocumentPage.h"

namespace ombrel {

void NoteDocumentChanged(TDocumentPage& page) { page.Form().NoteDocumentChanged(); }

int ExecPageDialog(TDocumentPage& page, QDialog& dialog, std::int32_t helpTopic) {
  TDocumentHost& host = page.Form().Host();
  if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
    QObject::connect(buttons, &QDialogButtonBox::helpRequested, &dialog,
                     [&host, helpTopic] { host.ShowHelpTopic(helpTopic); });
  const TKeepFocus focus(&page);
  return host.Asker().Exec(dialog);
}

}  // namespace ombrel
