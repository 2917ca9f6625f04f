#pragma once

#include <QHeaderView>
#include <QWidget>

namespace ombrel {

// The fixed cells of a spreadsheet grid. The horizontal header shows two grid
// rows per column (row 0: the heading, row 1: the column title); the vertical
// one shows the row titles (or summary captions). The header only paints and
// reports presses and drags; the grid decides what they select or open.
class TGridHeader : public QHeaderView {
  Q_OBJECT

 public:
  TGridHeader(Qt::Orientation orientation, QWidget* parent);

  // Height of one grid row: the horizontal header is two of them.
  void SetRowHeight(int height);
  // Left indent of the vertical header's texts.
  void SetTextIndent(int indent) { mTextIndent = indent; }

 signals:
  // A press away from a column's resize grip; `position` is in the header's
  // viewport coordinates.
  void SectionPressed(int section, QPoint position, Qt::KeyboardModifiers modifiers);
  // The held button moved over `section`.
  void SectionDragged(int section);
  void PressReleased();
  // A double click on the right edge of `section`: fit it to its contents.
  void FitSectionRequested(int section);

 protected:
  void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  bool OnResizeGrip(QPoint position) const;
  // The section whose right edge is under `position`, or -1.
  int GripSection(QPoint position) const;

  int mRowHeight = 18;
  int mTextIndent = 4;
  bool mPressed = false;
  bool mResizing = false;
};

// Shared painter of fixed cells: the palette's mid-tone face, lighter top
// and left edge, darker right and bottom edge, text clipped to the cell.
void PaintFixedCell(QPainter& painter, const QPalette& palette, const QRect& rect, const QString& text,
                    Qt::Alignment alignment, int indent, bool bold);

// The top-left fixed cell over the row titles: blank in grid row 0 and the
// corner caption in grid row 1.
class TGridCorner : public QWidget {
  Q_OBJECT

 public:
  TGridCorner(QWidget* parent);

  void SetRowHeight(int height) { mRowHeight = height; }
  void SetCaption(const QString& caption);

 signals:
  void Pressed(QPoint position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  int mRowHeight = 18;
  QString mCaption;
};

}  // namespace ombrel
