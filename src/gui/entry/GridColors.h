#pragma once

#include <QColor>
#include <QPalette>
#include <array>
#include <cstddef>

namespace ombrel {

// What a cell of a grid shows itself as.
enum class TCellLook {
  Value,     // an ordinary value
  Current,   // the current cell (framed)
  Selected,  // selected while the grid has the keyboard
  Excluded,  // an excluded value
  MeanData,  // a typed mean-and-error column, or a summary cell the user types into
  Title,     // the fixed cells: headings, column and row titles, summary captions
};

inline constexpr std::size_t CellLookCount = 6;

struct TCellColors {
  QColor Background;
  QColor Text;
};

// The colours of the grids, taken from the palette so that a dark desktop
// theme gives dark grids. Every text keeps a contrast of at least 4.5:1 to
// its background: where the palette's own pair falls short (a pale
// highlight under white text), the text turns black or white. Only the
// excluded values' blue is the grid's own, lightened on a dark base.
struct TGridColors {
  explicit TGridColors(const QPalette& palette);

  TCellColors Cell(TCellLook look) const;
  // The current cell's frame and the fixed cells' light and dark edges.
  QColor Frame;
  QColor LightEdge;
  QColor DarkEdge;

 private:
  std::array<TCellColors, CellLookCount> mCells{};
};

}  // namespace ombrel
