#include "gui/output/ReportDocuments.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include "core/report/ReportHtml.h"
#include "core/report/ReportText.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

QString CouldNotSave(const QString& fileName) {
  return QStringLiteral("The results could not be saved in %1.").arg(fileName);
}

}  // namespace

QString ReportRichText(const TReportText& report, const QString& heading) {
  QString html;
  if (!heading.isEmpty()) html = QStringLiteral("<h3>%1</h3>").arg(heading.toHtmlEscaped());
  return html + FromCore(ReportHtmlBlock(report));
}

void PaintReportPages(QPagedPaintDevice& device, const TReportText& report, const QString& heading) {
  QTextDocument document;
  document.setHtml(ReportRichText(report, heading));
  document.print(&device);
}

QString WriteReportPdf(const TReportText& report, const QString& title, const QString& fileName) {
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly)) return CouldNotSave(fileName);
  {
    QPdfWriter pdf(&file);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("Ombrel"));
    pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(20, 20, 20, 20),
                                  QPageLayout::Millimeter));
    PaintReportPages(pdf, report, QString());
  }
  if (!file.commit()) return CouldNotSave(fileName);
  return {};
}

QString WriteWholeFile(const QByteArray& bytes, const QString& fileName) {
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return CouldNotSave(fileName);
  return {};
}

}  // namespace ombrel
