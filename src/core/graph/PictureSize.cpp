#include "core/graph/PictureSize.h"

#include <charconv>
#include <cmath>
#include <string>

namespace ombrel {

namespace {

constexpr double CentimetresPerInch = 2.54;
constexpr double MinCentimetres = 2;
constexpr double MaxCentimetres = 100;
constexpr double MinPixels = 50;
constexpr double MaxPixels = 20000;

std::optional<double> ParseLength(std::string_view text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || ptr != end || !std::isfinite(value)) return std::nullopt;
  return value;
}

int Round(double value) { return static_cast<int>(std::lround(value)); }

}  // namespace

std::optional<TPictureSize> ParsePictureSize(std::string_view text) {
  TPictureSize size;
  if (text.ends_with("cm")) {
    size.Unit = TSizeUnit::Centimetres;
  } else if (text.ends_with("px")) {
    size.Unit = TSizeUnit::Pixels;
  } else {
    return std::nullopt;
  }
  text.remove_suffix(2);
  const std::size_t by = text.find_first_of("xX");
  if (by == std::string_view::npos) return std::nullopt;
  const auto width = ParseLength(text.substr(0, by));
  const auto height = ParseLength(text.substr(by + 1));
  if (!width || !height) return std::nullopt;
  size.Width = *width;
  size.Height = *height;
  const bool pixels = size.Unit == TSizeUnit::Pixels;
  for (const double length : {size.Width, size.Height}) {
    if (pixels && (length != std::floor(length) || length < MinPixels || length > MaxPixels)) return std::nullopt;
    if (!pixels && (length < MinCentimetres || length > MaxCentimetres)) return std::nullopt;
  }
  return size;
}

TPixelSize LayoutSize(const TPictureSize& size) {
  if (size.Unit == TSizeUnit::Pixels) return {Round(size.Width), Round(size.Height)};
  return {Round(size.Width / CentimetresPerInch * LayoutDpi), Round(size.Height / CentimetresPerInch * LayoutDpi)};
}

TPixelSize ImageSize(const TPictureSize& size, int dpi) {
  if (size.Unit == TSizeUnit::Pixels) return {Round(size.Width), Round(size.Height)};
  return {Round(size.Width / CentimetresPerInch * dpi), Round(size.Height / CentimetresPerInch * dpi)};
}

int ImageDpi(const TPictureSize& size, int dpi) { return size.Unit == TSizeUnit::Pixels ? LayoutDpi : dpi; }

}  // namespace ombrel
