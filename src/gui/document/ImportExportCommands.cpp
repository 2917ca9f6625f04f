#include "gui/document/ImportExportCommands.h"

#include <QFileInfo>
#include <algorithm>

#include "core/base/FileText.h"
#include "core/document/Document.h"
#include "core/entry/TextExport.h"
#include "core/entry/ImportData.h"
#include "core/entry/WrittenNumbers.h"
#include "gui/common/Asker.h"
#include "gui/common/BusyGuard.h"
#include "gui/common/CoreText.h"
#include "gui/common/LocalPath.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "gui/document/SummaryPage.h"
#include "gui/entry/ClipboardCommands.h"
#include "gui/entry/ImportExportForms.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TitleFields.h"

namespace ombrel {

namespace {

// A one-byte separator from the user's settings; anything wider falls back.
char SeparatorByte(QChar ch, char fallback) {
  const char byte = ch.toLatin1();
  return byte != 0 && ch.unicode() < 128 ? byte : fallback;
}

QString SuggestedName(TDocumentPage& page, const QString& suffix) {
  const QString fileName = page.Form().FileName();
  return fileName.isEmpty() ? QStringLiteral("data") + suffix : QFileInfo(fileName).completeBaseName() + suffix;
}

// Writes an export text to a chosen file; I/O errors are reported.
void WriteChosenFile(TDocumentPage& page, const QString& fileName, const std::string& text) {
  int error = 0;
  {
    const TBusyGuard busy(&page.Form());
    error = WriteExportFile(LocalPath(fileName), text);
  }
  if (error != 0) page.Form().Host().Asker().Inform(&page, FromCore(FileErrorMessage(error, true)));
}

QString ChooseExportFile(TDocumentPage& page) {
  TDocumentHost& host = page.Form().Host();
  const QString fileName = host.Asker().GetSaveFileName(
      &page, QStringLiteral("Export"), ExportFolderPath(host, SuggestedName(page, ".TXT")),
      QStringLiteral("Tab-delimit. text (*.TXT);;Comma-delimit. text (*.CSV)"), QStringLiteral("TXT"));
  if (!fileName.isEmpty()) host.SetExportFolder(QFileInfo(fileName).absolutePath());
  return fileName;
}

char ExportSeparatorFor(TDocumentPage& page, const QString& fileName) {
  return ExportSeparator(fileName.toStdString(), SeparatorByte(page.Form().Host().ListSeparator(), ','),
                         UserDecimalSeparator());
}

// The main window's status message for the length of a scope.
class TStatusGuard {
 public:
  TStatusGuard(TDocumentHost& host, const QString& message) : mHost(host) { mHost.BeginStatus(message); }
  ~TStatusGuard() { mHost.EndStatus(); }
  TStatusGuard(const TStatusGuard&) = delete;
  TStatusGuard& operator=(const TStatusGuard&) = delete;

 private:
  TDocumentHost& mHost;
};

}  // namespace

void ImportTextData(TDataEntryPage& page) {
  TDocumentHost& host = page.Form().Host();
  TAsker& asker = host.Asker();
  const QString fileName = asker.GetOpenFileName(
      &page, QStringLiteral("Import"), host.ImportFolder(),
      QStringLiteral("Data files (*.TXT *.txt *.CSV *.csv *.DAT *.dat *.PRN *.prn *.XLSX *.xlsx *.ODS *.ods);;"
                     "Text files (*.TXT *.txt *.CSV *.csv *.DAT *.dat *.PRN *.prn);;"
                     "Workbooks (*.XLSX *.xlsx *.ODS *.ods);;All files (*)"));
  if (fileName.isEmpty()) return;
  ImportDataFile(page, fileName);
}

bool ImportDataFile(TDataEntryPage& page, const QString& fileName) {
  TDocumentHost& host = page.Form().Host();
  TAsker& asker = host.Asker();
  host.SetImportFolder(QFileInfo(fileName).absolutePath());
  const std::string path = LocalPath(fileName);
  TImportOptions options;
  options.Separators = {SeparatorByte(host.ListSeparator(), ','), UserDecimalSeparator()};
  // The one reading the preview shows and the import then takes.
  const auto read = [&host, path](const TImportOptions& chosen) {
    const TStatusGuard status(host, QStringLiteral("Reading data..."));
    const TBusyGuard busy;
    return ReadImportData(path, chosen);
  };
  TImportedFile file = read(options);
  if (!file.Read()) {
    asker.Inform(&page, FromCore(file.ProblemMessage));
    return false;
  }
  if (file.TooManyRows) asker.Inform(&page, FromCore(TooManyImportRowsMessage));
  if (file.TooManyColumns) asker.Inform(&page, FromCore(TooManyImportColumnsMessage));
  if (file.OutOfRangeFields > 0) asker.Inform(&page, FromCore(ImportOutOfRangeMessage));

  TImportForm form(std::move(file), fileName, options, read, &page);
  form.SetInform([&asker, &form](const QString& message) { asker.Inform(&form, message); });
  if (asker.Exec(form) != QDialog::Accepted) return false;

  TSpreadGrid& grid = *page.RawDataGrid;
  const TImportedFile& imported = form.File();
  {
    const TBusyGuard busy(&page.Form());
    const TImportOutcome outcome =
        ApplyImport(imported, form.Choices(), page.Document().Table, std::max(grid.CurrentDataRow(), 0),
                    std::max(grid.CurrentDataColumn(), 0));
    if (outcome != TImportOutcome::Imported) return false;
  }
  grid.RefreshAll();
  page.DataSetTitle->Refresh();
  NoteDocumentChanged(page);
  if (const std::string leftOut = LeftOutMessage(imported); !leftOut.empty()) asker.Inform(&page, FromCore(leftOut));
  return true;
}

void ExportGridData(TDataEntryPage& page) {
  TAsker& asker = page.Form().Host().Asker();
  const QString fileName = ChooseExportFile(page);
  if (fileName.isEmpty()) return;
  TExportForm form(&page);
  if (asker.Exec(form) != QDialog::Accepted) return;
  TExportChoices choices = form.Choices();
  choices.Separator = ExportSeparatorFor(page, fileName);
  choices.DecimalSeparator = UserDecimalSeparator();
  WriteChosenFile(page, fileName, ExportDataText(page.Document().Table, choices));
}

void ExportTwoByTwoData(TDataEntryPage& page) {
  const QString fileName = ChooseExportFile(page);
  if (fileName.isEmpty()) return;
  const char separator = ExportSeparatorFor(page, fileName);
  WriteChosenFile(page, fileName, ExportTwoByTwoText(page.Document().TwoByTwo, separator));
}

void ExportSummaryData(TSummaryPage& page) {
  const QString fileName = ChooseExportFile(page);
  if (fileName.isEmpty()) return;
  WriteChosenFile(page, fileName, ExportSummaryText(page.Document().Table));
}

}  // namespace ombrel
