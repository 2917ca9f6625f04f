#pragma once

#include <cstdint>

#include <QString>

#include "core/base/TestChoices.h"

class QDialog;

namespace ombrel {

class TDocumentPage;

// The names of the undo steps of typed edits and of choosing a data format.
inline QString TypingAction() { return QStringLiteral("Typing"); }
inline QString DataFormatAction() { return QStringLiteral("Data Format"); }

// A page changed the document's choices (or a command its data): the results
// become stale and the main window updates what depends on the document.
// Data edits outside commands go through Analyze::NoteDataChanged instead,
// which also makes them undo steps.
void NoteDocumentChanged(TDocumentPage& page);

// Shows a dialog of the page modally (through the asker); its Help button
// opens `helpTopic`. Answers the dialog's result.
int ExecPageDialog(TDocumentPage& page, QDialog& dialog, std::int32_t helpTopic);

}  // namespace ombrel
