#include "gui/app/RecoverForm.h"
#include "gui/common/CoreText.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace ombrel {

namespace {

// Result codes; 0 stays QDialog::Rejected.
constexpr int RecoverResult = 1;
constexpr int DiscardResult = 2;
constexpr int LaterResult = 3;

}  // namespace

TRecoverForm::TRecoverForm(const std::vector<TRecoverable>& documents, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Recover Documents"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(
      QStringLiteral("Ombrel ended without closing these documents. Their last changes can be recovered."), this));
  mDocumentList = new QTreeWidget(this);
  mDocumentList->setAccessibleName(QStringLiteral("Documents to recover"));
  mDocumentList->setHeaderLabels(
      {QStringLiteral("Title"), QStringLiteral("Original file"), QStringLiteral("Last change")});
  mDocumentList->setRootIsDecorated(false);
  mDocumentList->setSelectionMode(QAbstractItemView::NoSelection);
  const QLocale locale;
  for (const TRecoverable& document : documents) {
    const QString name = FromCore(document.Index.Name);
    const QString changed =
        locale.toString(QDateTime::fromSecsSinceEpoch(document.Index.ChangedSeconds), QLocale::ShortFormat);
    auto* item = new QTreeWidgetItem(mDocumentList,
                                     {QFileInfo(name).fileName(), FromCore(document.Index.OriginalPath), changed});
    item->setToolTip(1, item->text(1));
  }
  mDocumentList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  layout->addWidget(mDocumentList);

  auto* buttons = new QDialogButtonBox(this);
  mRecoverButton = buttons->addButton(QStringLiteral("Recover"), QDialogButtonBox::AcceptRole);
  mDiscardButton = buttons->addButton(QStringLiteral("Discard"), QDialogButtonBox::DestructiveRole);
  mLaterButton = buttons->addButton(QStringLiteral("Decide later"), QDialogButtonBox::RejectRole);
  mRecoverButton->setDefault(true);
  connect(mRecoverButton, &QPushButton::clicked, this, [this] { done(RecoverResult); });
  connect(mDiscardButton, &QPushButton::clicked, this, [this] { done(DiscardResult); });
  connect(mLaterButton, &QPushButton::clicked, this, [this] { done(LaterResult); });
  layout->addWidget(buttons);
  resize(640, 280);
}

TRecoveryChoice TRecoverForm::ChoiceOf(int result) {
  switch (result) {
    case RecoverResult:
      return TRecoveryChoice::Recover;
    case DiscardResult:
      return TRecoveryChoice::Discard;
    default:
      return TRecoveryChoice::DecideLater;
  }
}

QPushButton* TRecoverForm::Button(TRecoveryChoice choice) const {
  switch (choice) {
    case TRecoveryChoice::Recover:
      return mRecoverButton;
    case TRecoveryChoice::Discard:
      return mDiscardButton;
    case TRecoveryChoice::DecideLater:
      break;
  }
  return mLaterButton;
}

}  // namespace ombrel
