#include "gui/entry/SelectForms.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/Asker.h"
#include "core/analysis/ChooseTest.h"
#include "gui/entry/GridModels.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

QDialogButtonBox* AddButtons(QDialog& dialog, QVBoxLayout& layout) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout.addWidget(buttons);
  // Fixed size, like the other data dialogs: the list scrolls instead.
  layout.setSizeConstraint(QLayout::SetFixedSize);
  return buttons;
}

QListWidgetItem* AddCheckItem(QListWidget& list, const QString& text, bool checked) {
  auto* item = new QListWidgetItem(text, &list);
  item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
  item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
  return item;
}

QString ColumnText(const TDataTable& table, int column) {
  return QString(QLatin1Char(ColumnLetter(column))) + QLatin1Char(':') + FromCore(table.Summary(column).Title);
}

}  // namespace

TSelectColumnForm::TSelectColumnForm(TDataTable& table, TAsker& asker, QWidget* parent)
    : QDialog(parent), mTable(table), mAsker(asker) {
  setWindowTitle(QStringLiteral("Select Columns"));
  auto* layout = new QVBoxLayout(this);
  ColumnList = new QListWidget;
  ColumnList->setAccessibleName(QStringLiteral("Columns"));
  for (int c = 0; c < MaxColumns; ++c) {
    if (!ColumnHoldsData(table, c)) continue;
    mColumns.push_back(c);
    AddCheckItem(*ColumnList, FromCore(MakeColumnEntry(table, c).Text),
                 table.ColumnSelected[static_cast<std::size_t>(c)] != 0);
  }
  layout->addWidget(ColumnList);
  AddButtons(*this, *layout);
}

void TSelectColumnForm::accept() {
  bool any = false;
  for (int i = 0; i < ColumnList->count(); ++i) any = any || ColumnList->item(i)->checkState() == Qt::Checked;
  if (!any) {
    mAsker.Inform(this, QStringLiteral("At least one column must be selected."));
    return;
  }
  for (std::size_t i = 0; i < mColumns.size(); ++i)
    mTable.ColumnSelected[static_cast<std::size_t>(mColumns[i])] =
        ColumnList->item(static_cast<int>(i))->checkState() == Qt::Checked ? 1 : 0;
  QDialog::accept();
}

TSelectColPairsForm::TSelectColPairsForm(const TDataTable& table, TPairFlags& flags, TAsker& asker, QWidget* parent)
    : QDialog(parent), mFlags(flags), mAsker(asker) {
  setWindowTitle(QStringLiteral("Select Pairs"));
  auto* layout = new QVBoxLayout(this);
  PairList = new QListWidget;
  PairList->setAccessibleName(QStringLiteral("Pairs of columns"));
  const std::vector<TColumnPair> pairs = ColumnPairs(SelectedColumnsUpTo(table, table.LastColumn()));
  for (std::size_t k = 0; k < pairs.size() && k < PairFlagCount - 1; ++k)
    AddCheckItem(*PairList, ColumnText(table, pairs[k].First) + QLatin1Char('-') + ColumnText(table, pairs[k].Second),
                 flags[k] != 0);
  layout->addWidget(PairList);
  auto* row = new QHBoxLayout;
  SelectAllButton = new QPushButton(QStringLiteral("Select All"));
  SelectNoneButton = new QPushButton(QStringLiteral("Deselect all"));
  row->addWidget(SelectAllButton);
  row->addWidget(SelectNoneButton);
  row->addStretch(1);
  layout->addLayout(row);
  connect(SelectAllButton, &QPushButton::clicked, this, [this] { CheckAll(true); });
  connect(SelectNoneButton, &QPushButton::clicked, this, [this] { CheckAll(false); });
  AddButtons(*this, *layout);
}

void TSelectColPairsForm::CheckAll(bool checked) {
  for (int i = 0; i < PairList->count(); ++i) PairList->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

void TSelectColPairsForm::accept() {
  bool any = false;
  for (int i = 0; i < PairList->count(); ++i) any = any || PairList->item(i)->checkState() == Qt::Checked;
  if (!any) {
    mAsker.Inform(this, QStringLiteral("At least one column pair must be selected."));
    return;
  }
  // The dialog edits the first 351 flags.
  for (int k = 0; k < PairFlagCount - 1; ++k)
    mFlags[static_cast<std::size_t>(k)] =
        k < PairList->count() && PairList->item(k)->checkState() == Qt::Checked ? 1 : 0;
  QDialog::accept();
}

}  // namespace ombrel
