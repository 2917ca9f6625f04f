#pragma once

#include <QString>

namespace ombrel {

class TDataEntryPage;
class TSummaryPage;

// The File menu's commands on the data entry page and the summary page.
void ImportTextData(TDataEntryPage& page);
// Imports a chosen (or dropped) text file or workbook into the grid at its
// current cell, through the import dialog's preview; false when nothing was
// imported (the file refused, the dialog cancelled).
bool ImportDataFile(TDataEntryPage& page, const QString& fileName);
void ExportGridData(TDataEntryPage& page);
void ExportTwoByTwoData(TDataEntryPage& page);
void ExportSummaryData(TSummaryPage& page);

}  // namespace ombrel
