#pragma once

#include <QLineEdit>

#include "core/base/DataTable.h"

namespace ombrel {

// Entry limits of the title fields.
inline constexpr int ColumnTitleFieldLength = 15;
inline constexpr int RowTitleFieldLength = MaxRowTitleLength;
inline constexpr int DataSetTitleFieldLength = 100;
inline constexpr int TwoByTwoTitleFieldLength = 62;

// A title field laid over one title cell of a grid. Enter, Escape, Up, Down,
// Tab and Backtab (and, when asked, Left and Right) do not edit the text: they
// are handed to the grid, which stores the title and moves on.
class TTitleField : public QLineEdit {
  Q_OBJECT

 public:
  TTitleField(int maxLength, bool arrowsNavigate, QWidget* parent);

  void SetInitialText(const QString& text);
  bool IsChanged() const { return text() != mInitialText; }

 signals:
  // Enter and Return arrive as Qt::Key_Return.
  void Navigate(int key);
  void Cancelled();
  void FocusLeft();

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  bool mArrowsNavigate;
  QString mInitialText;
};

// The data set title above a grid (and on the 2x2 page): every edit goes
// straight into the table's title.
class TDataSetTitleField : public QLineEdit {
  Q_OBJECT

 public:
  TDataSetTitleField(TDataTable& table, int maxLength, QWidget* parent);

  // Shows the table's title again (after loading or an edit elsewhere).
  void Refresh();

 signals:
  void TitleEdited();

 private:
  TDataTable& mTable;
};

// The question about a numeric column title is asked until the user answers
// No once; then it stays off for the rest of the session.
inline constexpr const char* NumericTitleQuestion =
    "You entered a number as the column title. Is this number supposed to go into the first data row instead?";
bool NumericTitleQuestionEnabled();
void SetNumericTitleQuestionEnabled(bool enabled);

}  // namespace ombrel
