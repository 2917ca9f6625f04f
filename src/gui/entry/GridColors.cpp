#include "gui/entry/GridColors.h"

#include "gui/common/Contrast.h"

namespace ombrel {

namespace {

// The palette's own text colour where it is legible on `background`, else
// black or white, one of which always is.
TCellColors Legible(const QColor& background, const QColor& text) {
  return {background, LegibleOn(background, {text, QColor(Qt::black)}, QColor(Qt::white))};
}

}  // namespace

TGridColors::TGridColors(const QPalette& palette)
    : Frame(palette.color(QPalette::Text)),
      LightEdge(palette.color(QPalette::Light)),
      DarkEdge(palette.color(QPalette::Dark)) {
  const QColor base = palette.color(QPalette::Base);
  const QColor text = palette.color(QPalette::Text);
  const QColor buttonText = palette.color(QPalette::ButtonText);
  // The fixed cells stand out from the mean-data columns in the palette's
  // mid tone where their text stays legible on it.
  const QColor titleFace = ContrastRatio(buttonText, palette.color(QPalette::Mid)) >= LegibleContrast
                               ? palette.color(QPalette::Mid)
                               : palette.color(QPalette::Button);
  mCells[static_cast<std::size_t>(TCellLook::Value)] = Legible(base, text);
  mCells[static_cast<std::size_t>(TCellLook::Current)] = Legible(base, text);
  mCells[static_cast<std::size_t>(TCellLook::Selected)] =
      Legible(palette.color(QPalette::Highlight), palette.color(QPalette::HighlightedText));
  // Blue on a light base, a light blue on a dark one; the font's slant
  // marks the value too.
  mCells[static_cast<std::size_t>(TCellLook::Excluded)] = {
      base, LegibleOn(base, {QColor(0, 0, 255), QColor(138, 180, 248)}, Legible(base, text).Text)};
  mCells[static_cast<std::size_t>(TCellLook::MeanData)] = Legible(palette.color(QPalette::Button), text);
  mCells[static_cast<std::size_t>(TCellLook::Title)] = Legible(titleFace, buttonText);
}

TCellColors TGridColors::Cell(TCellLook look) const { return mCells[static_cast<std::size_t>(look)]; }

}  // namespace ombrel
