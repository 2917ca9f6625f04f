#pragma once

#include <QStringList>

#include "gui/common/Asker.h"

class QWidget;

namespace ombrel {

inline constexpr const char* SaveAllCaption = "Save All";
inline constexpr const char* DiscardAllCaption = "Discard All";

// The one question asked when several documents with unsaved changes close
// together (at exit): the documents' names listed, answered with "Save All"
// (Yes), "Discard All" (No) or "Cancel".
TAnswer AskSaveAllQuestion(QWidget* parent, const QStringList& names);

// The question's text above the list of names.
QString SaveAllQuestionText(const QStringList& names);

}  // namespace ombrel
