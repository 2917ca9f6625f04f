#pragma once

#include <QString>

class QPagedPaintDevice;
class QTextDocument;

namespace ombrel {

class TReportText;

// The report as a text document of one block per report line in the
// report's fixed-pitch font, bold, underline and italic kept, below the
// heading (its own bold line and a blank one) when that is not empty.
void FillReportDocument(QTextDocument& document, const TReportText& report, const QString& heading);

// Lays the report out on the device's pages: Print and the PDF files both
// come here. Every line stays inside the printable area (a report wider
// than the page is drawn smaller, never cut), the closing mark never stands
// alone on the last page, and a report of several pages has its page
// numbers at the bottom right.
void PaintReportPages(QPagedPaintDevice& device, const TReportText& report, const QString& heading);

// Writes the report as a PDF of A4 pages with `title` as its document title;
// the file is replaced only once completely written. Returns an empty text
// when written, else the message to show.
QString WriteReportPdf(const TReportText& report, const QString& title, const QString& fileName);

// Writes the report as an OpenDocument text: headings, paragraphs and the
// report's tables as tables (the report's HTML content), `title` as the
// document's title; replaced only once completely written. Returns an empty
// text when written, else the message to show.
QString WriteReportOdt(const TReportText& report, const QString& title, const QString& fileName);

// Writes `bytes` to the file, replacing it only once completely written.
// Returns an empty text when written, else the message to show.
QString WriteWholeFile(const QByteArray& bytes, const QString& fileName);

}  // namespace ombrel
