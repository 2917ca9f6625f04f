#pragma once

// How the spreadsheet grids paint their value cells; included by the grid
// alone.

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QRawFont>
#include <QStyledItemDelegate>
#include <array>
#include <cmath>
#include <optional>

#include "gui/common/TextScale.h"
#include "gui/entry/GridColors.h"
#include "gui/entry/GridModels.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/SpreadInplaceEdit.h"

namespace ombrel {

// Cell texts hold only digits, signs, ".", "E" and blanks. Shaping each of
// them anew with QPainter::drawText costs more than everything else in a full
// redisplay, so the few glyphs are looked up once and placed directly.
class TCellGlyphs {
 public:
  explicit TCellGlyphs(const QFont& font) : mFont(QRawFont::fromFont(font)) {
    // A slant the font engine only synthesises is not in the raw font.
    if (font.italic() && mFont.style() == QFont::StyleNormal) mFont = QRawFont();
    for (const char character : {' ', '+', '-', '.', '0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'E'}) {
      const QList<quint32> glyphs = mFont.glyphIndexesForString(QString(QLatin1Char(character)));
      if (glyphs.size() != 1 || glyphs[0] == 0) continue;
      const auto at = static_cast<std::size_t>(character);
      mGlyph[at] = glyphs[0];
      mAdvance[at] = mFont.advancesForGlyphIndexes(glyphs).value(0).x();
    }
  }

  // The text's width, or -1 when a character has no prepared glyph.
  qreal Width(const QString& text) const {
    if (!mFont.isValid()) return -1;
    qreal width = 0;
    for (const QChar character : text) {
      const auto at = static_cast<std::size_t>(character.unicode());
      if (at >= mGlyph.size() || mGlyph[at] == 0) return -1;
      width += mAdvance[at];
    }
    return width;
  }

  // Draws the text right-aligned to `right` with its top at `top`; false
  // (nothing drawn) when a character has no prepared glyph.
  bool DrawRightAligned(QPainter& painter, const QString& text, qreal right, qreal top) const {
    if (!mFont.isValid()) return false;
    QList<quint32> glyphs;
    QList<QPointF> positions;
    glyphs.reserve(text.size());
    positions.reserve(text.size());
    qreal x = 0;
    for (const QChar character : text) {
      const auto at = static_cast<std::size_t>(character.unicode());
      if (at >= mGlyph.size() || mGlyph[at] == 0) return false;
      glyphs.push_back(mGlyph[at]);
      positions.push_back(QPointF(x, 0));
      x += mAdvance[at];
    }
    QGlyphRun run;
    run.setRawFont(mFont);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.drawGlyphRun(QPointF(right - x, top + mFont.ascent()), run);
    return true;
  }

 private:
  QRawFont mFont;
  std::array<quint32, 128> mGlyph{};
  std::array<qreal, 128> mAdvance{};
};

// Paints the value cells (current-cell frame, highlight, mean-data columns,
// excluded values) and creates the in-place editor. The grid itself commits
// edits, so the delegate neither stores data nor filters editor events.
class TGridDelegate : public QStyledItemDelegate {
 public:
  explicit TGridDelegate(TSpreadGrid* grid)
      : QStyledItemDelegate(grid),
        mGrid(grid),
        mValueFont(ValueFont(false)),
        mExcludedFont(ValueFont(true)),
        mGlyphs(mValueFont),
        mExcludedGlyphs(mExcludedFont) {}

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    auto* editor = new TSpreadInplaceEdit(parent);
    editor->setFont(mValueFont);
    mGrid->EditorCreated(editor, index);
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    static_cast<TSpreadInplaceEdit*>(editor)->SetInitialText(index.data(Qt::EditRole).toString());
  }

  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}

  void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option, const QModelIndex&) const override {
    editor->setGeometry(option.rect);
  }

  bool eventFilter(QObject*, QEvent*) override { return false; }

  qreal TextWidth(const QString& text, bool excluded) const {
    const qreal width = (excluded ? mExcludedGlyphs : mGlyphs).Width(text);
    return width >= 0 ? width : QFontMetricsF(excluded ? mExcludedFont : mValueFont).horizontalAdvance(text);
  }

  // The width a column needs to show `text` whole.
  int ColumnWidthFor(const QString& text, bool excluded) const {
    return static_cast<int>(std::ceil(TextWidth(text, excluded))) + TextRightMargin + FitMargin;
  }

  // Whether the cell's text shows whole in a column `width` wide.
  bool Fits(const QString& text, int width, bool excluded) const {
    return TextWidth(text, excluded) <= width - TextRightMargin;
  }

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool current = index == mGrid->currentIndex();
    const bool selected = option.state & QStyle::State_Selected;
    const bool excluded = index.data(static_cast<int>(TGridRole::Excluded)).toBool();
    const bool meanData = index.data(static_cast<int>(TGridRole::MeanDataColumn)).toBool();
    TCellLook look = TCellLook::Value;
    if (current) {
      if (excluded) look = TCellLook::Excluded;
    } else if (selected && mGrid->hasFocus()) {
      look = TCellLook::Selected;
    } else if (meanData) {
      look = TCellLook::MeanData;
    } else if (excluded) {
      look = TCellLook::Excluded;
    }
    const TGridColors& colors = ColorsOf(option.palette);
    const TCellColors cell = colors.Cell(look);
    const QColor background = cell.Background;
    const QColor textColor = cell.Text;

    painter->save();
    painter->fillRect(option.rect, background);
    painter->setClipRect(option.rect, Qt::IntersectClip);
    painter->setPen(textColor);
    QString text = index.data(Qt::DisplayRole).toString();
    const QRect textRect = option.rect.adjusted(0, TextTop, -TextRightMargin, 0);
    const TCellGlyphs& glyphs = excluded ? mExcludedGlyphs : mGlyphs;
    // A value never shows without its leading characters (a sign, the first
    // digits): one too wide for its column shows as "###", the full value in
    // the tooltip.
    if (!text.isEmpty() && TextWidth(text, excluded) > textRect.width()) text = QStringLiteral("###");
    if (!text.isEmpty() && !glyphs.DrawRightAligned(*painter, text, textRect.right() + 1, textRect.top())) {
      painter->setFont(excluded ? mExcludedFont : mValueFont);
      painter->drawText(textRect, Qt::AlignRight | Qt::AlignTop, text);
    }
    if (current) {
      painter->setPen(QPen(colors.Frame, 2));
      painter->setBrush(Qt::NoBrush);
      painter->drawRect(option.rect.adjusted(1, 1, -1, -1));
    }
    painter->restore();
  }

 private:
  static constexpr int TextTop = 2;
  static constexpr int TextRightMargin = 4;
  static constexpr int FitMargin = 6;

  static QFont ValueFont(bool italic) {
    QFont font = ScaledFont(QFont(QStringLiteral("Arial")), ValuePoints, false);
    font.setItalic(italic);
    return font;
  }

  // The colours of the palette last painted with.
  const TGridColors& ColorsOf(const QPalette& palette) const {
    if (!mColors || mPaletteKey != palette.cacheKey()) {
      mColors.emplace(palette);
      mPaletteKey = palette.cacheKey();
    }
    return *mColors;
  }

  static constexpr qreal ValuePoints = 9;

  TSpreadGrid* mGrid;
  QFont mValueFont;
  QFont mExcludedFont;
  TCellGlyphs mGlyphs;
  TCellGlyphs mExcludedGlyphs;
  mutable std::optional<TGridColors> mColors;
  mutable qint64 mPaletteKey = 0;
};

}  // namespace ombrel
