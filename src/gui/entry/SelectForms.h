#pragma once

#include <QDialog>

#include "core/base/TestChoices.h"

class QListWidget;
class QPushButton;

namespace ombrel {

class TAsker;

// "Select Columns": the columns holding data, checked as they are selected
// for analysis. OK with nothing checked is refused and the dialog stays.
class TSelectColumnForm : public QDialog {
  Q_OBJECT

 public:
  TSelectColumnForm(TDataTable& table, TAsker& asker, QWidget* parent = nullptr);

  void accept() override;

  QListWidget* ColumnList;

 private:
  TDataTable& mTable;
  TAsker& mAsker;
  std::vector<int> mColumns;
};

// "Select Pairs": every pair of columns selected for analysis, checked from
// the pair flags. OK with nothing checked is refused and the dialog stays.
class TSelectColPairsForm : public QDialog {
  Q_OBJECT

 public:
  TSelectColPairsForm(const TDataTable& table, TPairFlags& flags, TAsker& asker, QWidget* parent = nullptr);

  void accept() override;

  QListWidget* PairList;
  QPushButton* SelectAllButton;
  QPushButton* SelectNoneButton;

 private:
  void CheckAll(bool checked);
  TPairFlags& mFlags;
  TAsker& mAsker;
};

}  // namespace ombrel
