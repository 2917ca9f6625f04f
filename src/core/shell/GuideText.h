#pragma once

#include <span>
#include <string_view>

#include "core/document/Steps.h"

// What the guide says: one page of short texts per step.

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

// The width a first-start main window adds for the guide docked at its side.
constexpr int GuideRoomWidth = 340;

}  // namespace ombrel
