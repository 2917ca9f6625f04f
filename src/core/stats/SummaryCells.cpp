#include "stats/SummaryCells.h"

namespace ombrel {

// Placeholders until the summary grid's texts land.
std::string SummaryRowLabel(int, bool, bool) { return std::string(); }
std::string SummaryCellText(const TDataTable&, int, int, bool, bool) { return std::string(); }
void SetSummaryValue(TDataTable&, int, int, bool, TReal) {}

}  // namespace ombrel
