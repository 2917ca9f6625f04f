#pragma once

#include <QString>

namespace ombrel {

class TDataEntryPage;
class TSummaryPage;

// The File menu's commands on the data entry page and the summary page.
void ImportTextData(TDataEntryPage& page);
// Imports a chosen (or dropped) text file into the grid, as Import goes on
// after its dialog.
void ImportTextFile(TDataEntryPage& page, const QString& fileName);
void ExportGridData(TDataEntryPage& page);
void ExportTwoByTwoData(TDataEntryPage& page);
void ExportSummaryData(TSummaryPage& page);

}  // namespace ombrel
