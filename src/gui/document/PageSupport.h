#pragma once

#include <cstdint>
#include <string_view>

#include <QString>

#include "core/base/TestChoices.h"

class QDialog;

namespace ombrel {

class TDocumentPage;

// Text of the core (UTF-8) for a widget.
inline QString FromCore(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A page changed the document's data or choices: the results become stale
// and the main window updates what depends on the document.
void NoteDocumentChanged(TDocumentPage& page);

// Shows a dialog of the page modally (through the asker); its Help button
// opens `helpTopic`. Answers the dialog's result.
int ExecPageDialog(TDocumentPage& page, QDialog& dialog, std::int32_t helpTopic);

}  // namespace ombrel
