#include "gui/output/ReportDocuments.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "core/report/ReportHtml.h"
#include "core/report/ReportLines.h"
#include "core/report/ReportText.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

QString CouldNotSave(const QString& fileName) {
  return QStringLiteral("The results could not be saved in %1.").arg(fileName);
}

// "Courier New" 10 point where installed, else a fixed-pitch font of the
// same width.
QFont PrintedReportFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Courier"),
                    QFontDatabase::systemFont(QFontDatabase::FixedFont).family()});
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPointSizeF(10);
  return font;
}

QTextCharFormat FormatOf(std::uint8_t attributes) {
  QTextCharFormat format;
  format.setFontWeight((attributes & BoldAttribute) != 0 ? QFont::Bold : QFont::Normal);
  format.setFontUnderline((attributes & UnderlineAttribute) != 0);
  format.setFontItalic((attributes & ItalicAttribute) != 0);
  return format;
}

// The first block after which every block is blank: the closing mark's
// line, or the last line with text.
QTextBlock LastTextBlock(const QTextDocument& document) {
  QTextBlock last = document.lastBlock();
  while (last.isValid() && last.text().trimmed().isEmpty()) last = last.previous();
  return last;
}

// The page a block's first line is on in the paginated layout (a line that
// did not fit is moved down inside its block).
int PageOfBlock(const QTextDocument& document, const QTextBlock& block) {
  document.documentLayout()->blockBoundingRect(block);  // lays the block out
  const QTextLayout* layout = block.layout();
  qreal top = layout->position().y();
  if (layout->lineCount() > 0) top += layout->lineAt(0).y();
  return static_cast<int>(std::floor(top / document.pageSize().height()));
}

// The pages up to the last line with text: blank lines after it start no
// page of their own.
int PageCount(const QTextDocument& document) {
  const QTextBlock last = LastTextBlock(document);
  return last.isValid() ? PageOfBlock(document, last) + 1 : 1;
}

// When the closing mark would open the last page alone, the paragraph
// before it (the lines up to the blank line above) goes over with it.
void KeepTheEndWithItsText(QTextDocument& document) {
  const QTextBlock last = LastTextBlock(document);
  if (!last.isValid()) return;
  QTextBlock before = last.previous();
  while (before.isValid() && before.text().trimmed().isEmpty()) before = before.previous();
  if (!before.isValid() || PageOfBlock(document, before) == PageOfBlock(document, last)) return;
  QTextBlock first = before;
  while (first.previous().isValid() && !first.previous().text().trimmed().isEmpty()) first = first.previous();
  // A paragraph that opens the report has nowhere to go.
  if (!first.previous().isValid()) return;
  QTextCursor cursor(first);
  QTextBlockFormat format = first.blockFormat();
  format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
  cursor.setBlockFormat(format);
}

}  // namespace

void FillReportDocument(QTextDocument& document, const TReportText& report, const QString& heading) {
  document.clear();
  // A report line is one line on paper too.
  QTextOption option = document.defaultTextOption();
  option.setWrapMode(QTextOption::NoWrap);
  document.setDefaultTextOption(option);
  document.setDefaultFont(PrintedReportFont());
  document.setDocumentMargin(0);
  QTextCursor cursor(&document);
  cursor.beginEditBlock();
  if (!heading.isEmpty()) {
    QTextCharFormat bold = FormatOf(BoldAttribute);
    bold.setFontPointSize(12);
    cursor.insertText(heading, bold);
    cursor.insertBlock();
    cursor.insertBlock();
  }
  for (int i = 0; i < report.LineCount(); ++i) {
    const auto line = GetLineText(&report, i);
    if (!line) break;
    if (i > 0) cursor.insertBlock();
    // Runs of equal attributes; the text is UTF-8, or Latin-1 where a byte
    // is not.
    std::size_t start = 0;
    for (std::size_t k = 1; k <= line->Text.size(); ++k) {
      const auto attributes = [&](std::size_t at) { return line->HasAttributes ? line->Attributes[at] : 0; };
      if (k < line->Text.size() && attributes(k) == attributes(start)) continue;
      cursor.insertText(FromCore(Utf8Text(std::string_view(line->Text).substr(start, k - start))),
                        FormatOf(attributes(start)));
      start = k;
    }
  }
  cursor.endEditBlock();
}

void PaintReportPages(QPagedPaintDevice& device, const TReportText& report, const QString& heading) {
  QTextDocument document;
  document.documentLayout()->setPaintDevice(&device);
  FillReportDocument(document, report, heading);
  // The printable area in the device's pixels; lines never wrap, so a
  // report wider than the page is scaled down to fit.
  const QSizeF area(device.width(), device.height());
  document.setTextWidth(-1);
  const qreal widest = document.idealWidth();
  const qreal scale = widest > area.width() ? area.width() / widest : 1.0;
  const QFontMetricsF metrics(document.defaultFont(), &device);
  const qreal footer = 2 * metrics.lineSpacing();
  QSizeF page(area.width() / scale, area.height() / scale);
  document.setPageSize(page);
  if (PageCount(document) > 1) {
    // Room for the page numbers.
    page.setHeight(page.height() - footer);
    document.setPageSize(page);
    KeepTheEndWithItsText(document);
  }
  const int pages = PageCount(document);
  QPainter painter(&device);
  painter.scale(scale, scale);
  for (int n = 0; n < pages; ++n) {
    if (n > 0) device.newPage();
    painter.save();
    painter.translate(0, -n * page.height());
    QAbstractTextDocumentLayout::PaintContext context;
    // A pixel inside the page's edges: a line laid out from the top of the
    // next page must not be drawn (even clipped away) on this one.
    context.clip = QRectF(0, n * page.height() + 1, page.width(), page.height() - 2);
    context.palette.setColor(QPalette::Text, Qt::black);
    painter.setClipRect(context.clip);
    document.documentLayout()->draw(&painter, context);
    painter.restore();
    if (pages > 1) {
      painter.setFont(document.defaultFont());
      const QRectF bottom(0, page.height(), page.width(), footer);
      painter.drawText(bottom, Qt::AlignRight | Qt::AlignBottom, QString::number(n + 1));
    }
  }
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

QString WriteReportOdt(const TReportText& report, const QString& title, const QString& fileName) {
  QTextDocument document;
  document.setHtml(FromCore(ReportHtmlContent(report)));
  document.setMetaInformation(QTextDocument::DocumentTitle, title);
  // The writer closes its device when done, which a QSaveFile must not be:
  // the package is made in memory and written as a whole.
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QTextDocumentWriter writer(&buffer, QByteArrayLiteral("odf"));
  if (!writer.write(&document)) return CouldNotSave(fileName);
  return WriteWholeFile(buffer.data(), fileName);
}

QString WriteWholeFile(const QByteArray& bytes, const QString& fileName) {
  QSaveFile file(fileName);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return CouldNotSave(fileName);
  return {};
}

}  // namespace ombrel
