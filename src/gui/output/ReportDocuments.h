#pragma once

#include <QString>

class QPagedPaintDevice;

namespace ombrel {

class TReportText;

// The report as the rich text that printing lays out: the heading (when not
// empty) above the report's HTML block.
QString ReportRichText(const TReportText& report, const QString& heading);

// Lays the report out on the device's pages, as Print does.
void PaintReportPages(QPagedPaintDevice& device, const TReportText& report, const QString& heading);

// Writes the report as a PDF of A4 pages with `title` as its document title;
// the file is replaced only once completely written. Returns an empty text
// when written, else the message to show.
QString WriteReportPdf(const TReportText& report, const QString& title, const QString& fileName);

// Writes `bytes` to the file, replacing it only once completely written.
// Returns an empty text when written, else the message to show.
QString WriteWholeFile(const QByteArray& bytes, const QString& fileName);

}  // namespace ombrel
