#include "cli/Pictures.h"

#include <QApplication>
#include <memory>

#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/document/ReportPrinter.h"
#include "core/graph/GraphModel.h"
#include "gui/output/GraphPictures.h"
#include "gui/output/ReportDocuments.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

// The chart needs an application object; the offscreen platform spares the
// tool a display. It lives while one command draws, and Qt's own notes
// (such as a missing runtime folder) are not the user's business.
class TOffscreenApplication {
 public:
  TOffscreenApplication() {
    if (QApplication::instance() != nullptr) return;
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    mApplication = std::make_unique<QApplication>(mArgc, mArgv);
  }

 private:
  char mName[11] = "ombrel-cli";
  char* mArgv[2] = {mName, nullptr};
  int mArgc = 1;
  std::unique_ptr<QApplication> mApplication;
};

}  // namespace

std::string WriteGraphFile(TDocument& document, bool sem, const TPictureSize& size, int dpi,
                           const std::string& fileName) {
  const QString name = FromCore(fileName);
  const std::optional<TPictureFormat> format = PictureFormatOf(name);
  if (!format) return "the graph file must end in .svg, .pdf or .png.";
  const TOffscreenApplication application;
  document.MeanIsSD = sem ? 0 : 1;
  // Whatever the file held, the graph is drawn from what the data say now.
  document.MarkChanged();
  TSilentCalcProgress progress;
  const TGraphModel model = DrawGraph(document, progress);
  return WriteGraphPicture(model, name, *format, size, dpi).toStdString();
}

std::string WriteReportFile(TDocument& document, const std::string& documentName, const std::string& fileName,
                            TReportFileForm form) {
  const TOffscreenApplication application;
  ComputeReport(document);
  const QString title = FromCore(ReportPageTitle(document, documentName));
  const QString name = FromCore(fileName);
  const QString message = form == TReportFileForm::Pdf ? WriteReportPdf(document.Report, title, name)
                                                       : WriteReportOdt(document.Report, title, name);
  return message.toStdString();
}

}  // namespace ombrel
