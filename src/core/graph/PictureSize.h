#pragma once

#include <optional>
#include <string_view>

// The size of an exported graph picture, and the sizes it is laid out and
// drawn at.

namespace ombrel {

enum class TSizeUnit { Centimetres, Pixels };

struct TPictureSize {
  double Width = 16;
  double Height = 12;
  TSizeUnit Unit = TSizeUnit::Centimetres;
};

// The resolution of a PNG picture unless the user chooses another (print).
inline constexpr int DefaultPictureDpi = 300;
inline constexpr int MinPictureDpi = 36;
inline constexpr int MaxPictureDpi = 2400;
// The graph is laid out in logical pixels of this many per inch, as on a
// screen, so that its fonts and lines keep the proportions of the page.
inline constexpr int LayoutDpi = 96;

// "16x12cm", "800x600px" ("X" too; decimals for centimetres). Nothing for
// other text or a side outside 2 to 100 cm or 50 to 20000 pixels.
std::optional<TPictureSize> ParsePictureSize(std::string_view text);

struct TPixelSize {
  int Width = 0;
  int Height = 0;
};

// The size the graph is laid out at: centimetres at LayoutDpi, pixels as
// given.
TPixelSize LayoutSize(const TPictureSize& size);
// The pixels of a PNG picture: centimetres at `dpi`, rounded to the nearest
// pixel; pixels as given.
TPixelSize ImageSize(const TPictureSize& size, int dpi);
// The resolution a PNG picture records: `dpi` for a size in centimetres,
// LayoutDpi for one in pixels.
int ImageDpi(const TPictureSize& size, int dpi);

}  // namespace ombrel
