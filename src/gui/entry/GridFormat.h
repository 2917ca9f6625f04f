#pragma once

#include <QString>

namespace ombrel {

// The data formats as far as the grids care: headings, which summary rows
// are shown and whether typed means are allowed. The document maps its own
// data format onto this.
enum class TGridFormat { XY, RawData, MeanSDN, MeanSEMN, TwoByTwo, ContingencyTable, MultipleRegression };

// The default heading of a data column (grid row 0): "X", "Y1", "Y2", ... for
// XY data, "Variable A" for multiple regression, "Outcome A" for a larger
// contingency table, "Group A" otherwise.
QString ColumnHeading(TGridFormat format, int dataColumn);

// The raw-data, XY and multiple-regression formats show the full column
// statistics (extremes, median, normality) on the summary page.
bool ShowsFullStatistics(TGridFormat format);

}  // namespace ombrel
