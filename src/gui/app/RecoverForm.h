#pragma once

#include <QDialog>
#include <vector>

#include "gui/app/Recovery.h"

class QPushButton;
class QTreeWidget;

namespace ombrel {

// "Recover Documents": the documents an ended instance left, each with its
// title, the file it belonged to and the time of its last change, and the
// choice to recover them, discard them or decide at the next start.
class TRecoverForm : public QDialog {
  Q_OBJECT

 public:
  TRecoverForm(const std::vector<TRecoverable>& documents, QWidget* parent = nullptr);

  // The choice a result code of the dialog stands for; closing the window
  // decides later.
  static TRecoveryChoice ChoiceOf(int result);
  QTreeWidget* DocumentList() const { return mDocumentList; }
  QPushButton* Button(TRecoveryChoice choice) const;

 private:
  QTreeWidget* mDocumentList;
  QPushButton* mRecoverButton;
  QPushButton* mDiscardButton;
  QPushButton* mLaterButton;
};

}  // namespace ombrel
