#pragma once

#include <span>
#include <string_view>

#include "core/document/Steps.h"

// What the guide window says and where it stands: one page of short texts
// per step, and its place over the main window.

namespace ombrel {

inline constexpr std::string_view GuideTitle = "Ombrel Guide";
inline constexpr std::string_view GuideCloseCaption = "Close";
inline constexpr std::string_view GuidePagesHint =
    "Don't click here. Close the guide, then click the arrow button at the bottom of the Ombrel window.";
inline constexpr std::string_view GuideKeepShowingText = "Keep showing the Ombrel Guide.";

// One page of the guide: its caption and its paragraphs, in order.
struct TGuidePage {
  std::string_view Caption;
  std::span<const std::string_view> Texts;
};

// The page index the guide shows for a step: the step's own number; the
// loading page, which no user sees, gets the first page.
int GuidePageIndex(TStep step);
// The page the guide shows for a step (see GuidePageIndex).
const TGuidePage& GuidePageFor(TStep step);
// Every page, indexed by step number.
std::span<const TGuidePage> GuidePages();

// A window's top-left corner, in screen pixels.
struct TGuidePosition {
  int Left = 0;
  int Top = 0;
};

// Where the guide goes over a main window: 75 pixels below its top; on the
// first step centered across it (halves rounded toward zero), on every other
// step with its right edge 15 pixels inside the main window's right edge,
// out of the way of the step buttons the user is told to press.
TGuidePosition GuidePosition(TStep step, int mainLeft, int mainTop, int mainWidth, int guideWidth);

// The same, but beside the main window rather than over it wherever the
// screen (its left edge and width) has room: right of the main window, or
// else left of it, 8 pixels apart, 75 pixels below its top; over it as above
// only where neither side has room.
TGuidePosition GuidePositionOnScreen(TStep step, int mainLeft, int mainTop, int mainWidth, int guideWidth,
                                     int screenLeft, int screenWidth);

// The width a first-start main window leaves beside it for the guide.
constexpr int GuideRoomWidth = 440;

}  // namespace ombrel
