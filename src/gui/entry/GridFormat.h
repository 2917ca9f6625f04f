#pragma once

#include <QString>

#include "core/base/TestChoices.h"

namespace ombrel {

// The default heading of a data column (grid row 0): "X", "Y1", "Y2", ... for
// XY data, "Variable A" for multiple regression, "Outcome A" for a larger
// contingency table, "Group A" otherwise.
QString ColumnHeading(TDataFormat format, int dataColumn);

}  // namespace ombrel
