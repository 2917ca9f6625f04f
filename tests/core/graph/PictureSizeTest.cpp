#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "core/graph/PictureSize.h"

namespace ombrel {
namespace {

TEST(PictureSize, ParsesCentimetresAndPixelsAndRefusesTheRest) {
  struct TCase {
    const char* Text;
    bool Valid;
    double Width;
    double Height;
    TSizeUnit Unit;
  };
  const TCase cases[] = {
      {"16x12cm", true, 16, 12, TSizeUnit::Centimetres},  {"8.5X6cm", true, 8.5, 6, TSizeUnit::Centimetres},
      {"800x600px", true, 800, 600, TSizeUnit::Pixels},   {"2x100cm", true, 2, 100, TSizeUnit::Centimetres},
      {"50x20000px", true, 50, 20000, TSizeUnit::Pixels}, {"1.9x12cm", false, 0, 0, TSizeUnit::Centimetres},
      {"16x101cm", false, 0, 0, TSizeUnit::Centimetres},  {"49x600px", false, 0, 0, TSizeUnit::Pixels},
      {"800.5x600px", false, 0, 0, TSizeUnit::Pixels},    {"16x12", false, 0, 0, TSizeUnit::Centimetres},
      {"16*12cm", false, 0, 0, TSizeUnit::Centimetres},   {"x12cm", false, 0, 0, TSizeUnit::Centimetres},
      {"16x12mm", false, 0, 0, TSizeUnit::Centimetres},   {"-16x12cm", false, 0, 0, TSizeUnit::Centimetres},
      {"16 x 12cm", false, 0, 0, TSizeUnit::Centimetres},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    const std::optional<TPictureSize> size = ParsePictureSize(c.Text);
    ASSERT_EQ(size.has_value(), c.Valid);
    if (!size) continue;
    EXPECT_EQ(size->Width, c.Width);
    EXPECT_EQ(size->Height, c.Height);
    EXPECT_EQ(size->Unit, c.Unit);
  }
}

// 16 x 12 cm is 6.299 x 4.724 inches: 605 x 454 layout pixels at 96 per
// inch, 1890 x 1417 image pixels at 300 dpi.
TEST(PictureSize, ConvertsToLayoutAndImagePixels) {
  const TPictureSize print;
  EXPECT_EQ(LayoutSize(print).Width, 605);
  EXPECT_EQ(LayoutSize(print).Height, 454);
  EXPECT_EQ(ImageSize(print, 300).Width, 1890);
  EXPECT_EQ(ImageSize(print, 300).Height, 1417);
  EXPECT_EQ(ImageDpi(print, 300), 300);
  const TPictureSize screen{800, 600, TSizeUnit::Pixels};
  EXPECT_EQ(ImageSize(screen, 300).Width, 800);
  EXPECT_EQ(LayoutSize(screen).Height, 600);
  EXPECT_EQ(ImageDpi(screen, 300), LayoutDpi);
}

}  // namespace
}  // namespace ombrel
