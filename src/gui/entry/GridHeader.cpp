#include "gui/entry/GridHeader.h"

#include <QMouseEvent>
#include <QPainter>

#include "gui/entry/GridColors.h"
#include "gui/entry/GridModels.h"

namespace ombrel {

namespace {

constexpr int TitleIndent = 2;

}  // namespace

void PaintFixedCell(QPainter& painter, const QPalette& palette, const QRect& rect, const QString& text,
                    Qt::Alignment alignment, int indent, bool bold) {
  const TGridColors colors(palette);
  const TCellColors face = colors.Cell(TCellLook::Title);
  painter.save();
  painter.fillRect(rect, face.Background);
  painter.setPen(colors.LightEdge);
  painter.drawLine(rect.topLeft(), rect.topRight());
  painter.drawLine(rect.topLeft(), rect.bottomLeft());
  painter.setPen(colors.DarkEdge);
  painter.drawLine(rect.topRight(), rect.bottomRight());
  painter.drawLine(rect.bottomLeft(), rect.bottomRight());
  if (!text.isEmpty()) {
    QFont font = painter.font();
    font.setBold(bold);
    painter.setFont(font);
    painter.setPen(face.Text);
    const QRect textRect = rect.adjusted(indent, 0, -2, 0);
    painter.setClipRect(textRect, Qt::IntersectClip);
    painter.drawText(textRect, static_cast<int>(alignment | Qt::AlignVCenter), text);
  }
  painter.restore();
}

TGridHeader::TGridHeader(Qt::Orientation orientation, QWidget* parent) : QHeaderView(orientation, parent) {
  setSectionsClickable(false);
  setHighlightSections(false);
  setMinimumSectionSize(1);
}

void TGridHeader::SetRowHeight(int height) {
  mRowHeight = height;
  if (orientation() == Qt::Horizontal) setFixedHeight(2 * height);
}

void TGridHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
  if (!model()) return;
  const QString text = model()->headerData(logicalIndex, orientation(), Qt::DisplayRole).toString();
  if (orientation() == Qt::Vertical) {
    PaintFixedCell(*painter, palette(), rect, text, Qt::AlignLeft, mTextIndent, false);
    return;
  }
  const QRect heading(rect.x(), rect.y(), rect.width(), mRowHeight);
  const QRect title(rect.x(), rect.y() + mRowHeight, rect.width(), rect.height() - mRowHeight);
  PaintFixedCell(*painter, palette(), heading, text, Qt::AlignHCenter, 0, true);
  const QString titleText =
      model()->headerData(logicalIndex, orientation(), static_cast<int>(TGridRole::ColumnTitle)).toString();
  PaintFixedCell(*painter, palette(), title, titleText, Qt::AlignLeft, TitleIndent, false);
}

bool TGridHeader::OnResizeGrip(QPoint position) const {
  if (orientation() != Qt::Horizontal || sectionResizeMode(0) != QHeaderView::Interactive) return false;
  const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
  const int section = logicalIndexAt(position);
  if (section < 0) return false;
  const int start = sectionViewportPosition(section);
  const int end = start + sectionSize(section);
  return position.x() >= end - grip || (section > 0 && position.x() <= start + grip);
}

void TGridHeader::mousePressEvent(QMouseEvent* event) {
  const QPoint position = event->position().toPoint();
  if (event->button() != Qt::LeftButton) return;
  if (OnResizeGrip(position)) {
    mResizing = true;
    QHeaderView::mousePressEvent(event);
    return;
  }
  const int section = logicalIndexAt(position);
  if (section < 0) return;
  mPressed = true;
  emit SectionPressed(section, position, event->modifiers());
}

void TGridHeader::mouseMoveEvent(QMouseEvent* event) {
  if (mResizing || !mPressed) {
    QHeaderView::mouseMoveEvent(event);
    return;
  }
  const int section = logicalIndexAt(event->position().toPoint());
  if (section >= 0) emit SectionDragged(section);
}

void TGridHeader::mouseReleaseEvent(QMouseEvent* event) {
  if (mResizing) QHeaderView::mouseReleaseEvent(event);
  mResizing = false;
  if (mPressed) emit PressReleased();
  mPressed = false;
}

int TGridHeader::GripSection(QPoint position) const {
  if (!OnResizeGrip(position)) return -1;
  const int section = logicalIndexAt(position);
  const int start = sectionViewportPosition(section);
  const int grip = style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, this);
  return section > 0 && position.x() <= start + grip ? section - 1 : section;
}

void TGridHeader::mouseDoubleClickEvent(QMouseEvent* event) {
  // On a column's edge a double click fits the column to its values;
  // elsewhere it is two presses.
  const int section = event->button() == Qt::LeftButton ? GripSection(event->position().toPoint()) : -1;
  if (section >= 0) {
    emit FitSectionRequested(section);
    return;
  }
  mousePressEvent(event);
}

TGridCorner::TGridCorner(QWidget* parent) : QWidget(parent) {}

void TGridCorner::SetCaption(const QString& caption) {
  mCaption = caption;
  update();
}

void TGridCorner::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setFont(font());
  const QRect all = rect();
  PaintFixedCell(painter, palette(), QRect(0, 0, all.width(), mRowHeight), QString(), Qt::AlignLeft, 0, false);
  PaintFixedCell(painter, palette(), QRect(0, mRowHeight, all.width(), all.height() - mRowHeight), mCaption,
                 Qt::AlignLeft, TitleIndent, false);
}

void TGridCorner::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit Pressed(event->position().toPoint());
}

}  // namespace ombrel
