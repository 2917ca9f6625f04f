#pragma once

namespace ombrel {

class TDataEntryPage;

// The Transform command of the data table page: asks for the transform,
// counts the values it cannot transform and asks before erasing them, then
// rewrites the selection (or the current cell).
void RunTransformCommand(TDataEntryPage& page);

// The Combine Variables command of the data table page: finds the target
// column, asks for the operands and fills the target.
void RunCombineCommand(TDataEntryPage& page);

}  // namespace ombrel
