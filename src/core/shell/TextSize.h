#pragma once

namespace ombrel {

// View > Text size: the text of the grids, the report, the guide and Help
// in percent of its normal size, in the steps a magnifier user expects.
inline constexpr int NormalTextSize = 100;

// The next larger (`steps` > 0) or smaller (`steps` < 0) size from
// `percent`; the largest and smallest sizes stay where they are, and a
// size that is none of the steps counts as the normal size.
int StepTextSize(int percent, int steps);

// A size read from the settings: one of the steps, the normal size for
// anything else (a missing or damaged entry).
int TextSizeFromProfile(int percent);

}  // namespace ombrel
