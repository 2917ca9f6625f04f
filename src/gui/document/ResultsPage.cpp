#include "gui/document/ResultsPage.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "gui/common/Asker.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "core/document/Notes.h"
#include "gui/document/PageSupport.h"
#include "gui/document/WindowCalcProgress.h"
#include "gui/report/ResultsViewer.h"
#include "core/document/ReportPrinter.h"
#include "core/report/ReportHtml.h"
#include "gui/output/ReportDocuments.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TResultsPage::TResultsPage(Analyze& form) : TDocumentPage(form, TStep::Results) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  EffectSizesBox = new QCheckBox(QStringLiteral("Effect sizes and method"));
  EffectSizesBox->setObjectName(QStringLiteral("EffectSizesBox"));
  EffectSizesBox->setToolTip(
      QStringLiteral("End the report with effect sizes and their confidence intervals, the method used and an APA "
                     "sentence"));
  auto* options = new QHBoxLayout;
  options->setContentsMargins(6, 3, 6, 1);
  options->addWidget(EffectSizesBox);
  options->addStretch(1);
  layout->addLayout(options);
  connect(EffectSizesBox, &QCheckBox::toggled, this, &TResultsPage::ChooseEffectSizes);
  ResultsViewer1 = new TResultsViewer;
  ResultsViewer1->setObjectName(QStringLiteral("ResultsViewer1"));
  layout->addWidget(ResultsViewer1, 1);
  StatusPanel = new TCalcStatusPanel(form.Progress());
  StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
  layout->addWidget(StatusPanel);
  connect(ResultsViewer1, &TResultsViewer::AppendToNotesRequested, this, &TResultsPage::AppendToNotes);
  connect(&form.Progress(), &TWindowCalcProgress::PanelStateChanged, this, [this] {
    const TCalcPanelState& state = Form().Progress().Panel();
    StatusPanel->Mirror(state);
    ResultsViewer1->setVisible(state.ViewerVisible);
    const bool calculating = Form().Progress().Calculating();
    if (mWasCalculating && !calculating) ++mComputations;
    mWasCalculating = calculating;
  });
}

void TResultsPage::ShowReport() {
  const TReportText& report = Document().Report;
  if (mShown && mShownComputation == mComputations && report.Text() == mShownText) return;
  // A new report: shown from its top.
  mShownText = report.Text();
  mShown = true;
  mShownComputation = mComputations;
  ResultsViewer1->AttachReport(&report);
}

void TResultsPage::EnterPage() {
  {
    const QSignalBlocker blocker(EffectSizesBox);
    EffectSizesBox->setChecked(Document().EffectSizes);
  }
  ShowReport();
  Form().Host().DocumentStateChanged(Form());
}

void TResultsPage::ChooseEffectSizes(bool shown) {
  // A running computation keeps its report; the box goes back.
  if (Form().Calculating()) {
    const QSignalBlocker blocker(EffectSizesBox);
    EffectSizesBox->setChecked(!shown);
    return;
  }
  Form().Host().SetEffectSizes(shown);
  Form().Host().RequestStep(Form(), TStep::Results);
}

bool TResultsPage::RunCommand(TCommand command) {
  switch (command) {
    case TCommand::Copy:
      ResultsViewer1->CopyToClipboard();
      return true;
    case TCommand::SelectAll:
      ResultsViewer1->SelectAllLines();
      return true;
    case TCommand::AppendToNotes:
      AppendToNotes();
      return true;
    case TCommand::Export:
      ExportReport();
      return true;
    default:
      return false;
  }
}

void TResultsPage::AppendToNotes() {
  if (Form().Calculating()) return;
  TLineSelection selection;
  bool selected = ResultsViewer1->Selection(selection);
  if (selected && IsSingleCharacterSelection(selection)) selected = false;
  const std::vector<std::string> lines = ResultsViewer1->Lines();
  if (!selected) {
    const int last = static_cast<int>(lines.size()) - 1;
    selection = {0, 0, last, last >= 0 ? static_cast<int>(lines[static_cast<std::size_t>(last)].size()) : 0};
  }
  std::vector<std::string> range;
  for (const std::string& line : SelectedLines(lines, selection))
    range.push_back(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())).toUtf8().toStdString());
  std::string notes = Document().Notes;
  if (!AppendLinesToNotes(notes, range)) {
    Form().Host().Asker().Inform(this, FromCore(NotesTooLargeMessage));
    return;
  }
  Document().Notes = StoreNotes(notes);
  Form().Host().DocumentStateChanged(Form());
}

void TResultsPage::ExportReport() {
  TAsker& asker = Form().Host().Asker();
  const QString suggested = Form().FileName().isEmpty()
                                ? QStringLiteral("results.txt")
                                : QFileInfo(Form().FileName()).completeBaseName() + QStringLiteral(".txt");
  const QString fileName = asker.GetSaveFileName(
      this, QStringLiteral("Export"), ExportFolderPath(Form().Host(), suggested),
      QStringLiteral("Text (*.TXT *.txt);;HTML pages (*.html *.htm);;PDF documents (*.pdf);;OpenDocument text (*.odt)"),
      QStringLiteral("TXT"));
  if (fileName.isEmpty()) return;
  Form().Host().SetExportFolder(QFileInfo(fileName).absolutePath());
  const QString suffix = QFileInfo(fileName).suffix().toLower();
  const TReportText& report = Document().Report;
  const std::string title = ReportPageTitle(Document(), Form().FileName().toStdString());
  QString message;
  if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) {
    message = WriteWholeFile(QByteArray::fromStdString(ReportHtmlPage(report, title)), fileName);
  } else if (suffix == QLatin1String("pdf")) {
    message = WriteReportPdf(report, FromCore(title), fileName);
  } else if (suffix == QLatin1String("odt")) {
    message = WriteReportOdt(report, FromCore(title), fileName);
  } else if (!ResultsViewer1->SaveToTextFile(fileName)) {
    // A file that could not be written is said so, not passed over.
    message = QStringLiteral("The results could not be saved in %1.").arg(fileName);
  }
  if (!message.isEmpty()) asker.Inform(this, message);
}

}  // namespace ombrel
