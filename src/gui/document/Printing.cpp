#include "gui/document/Printing.h"

#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QWidget>

#include "core/document/Document.h"
#include "core/base/FileText.h"
#include "core/entry/SummaryCells.h"
#include "gui/output/ReportDocuments.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

QString HtmlHeading(const QString& title) {
  return title.isEmpty() ? QString() : QStringLiteral("<h3>%1</h3>").arg(title.toHtmlEscaped());
}

QString NumberText(TReal value, std::int32_t decimals) {
  if (IsEmpty(value)) return {};
  return FromCore(TrimBlanks(FileCellText(value, decimals)));
}

void PrintHtml(QPrinter& printer, const QString& html) {
  QTextDocument document;
  document.setHtml(html);
  document.print(&printer);
}

constexpr int FirstSummaryRow = 2;
constexpr int LastSummaryRow = 16;

}  // namespace

QList<QStringList> DataTableRows(const TDocument& document) {
  const TDataTable& table = document.Table;
  const int lastColumn = table.LastColumn();
  const int lastRow = table.LastRow();
  QList<QStringList> rows;
  QStringList letters{QString()};
  QStringList titles{FromCore(table.RowTitleHeading())};
  for (int c = 0; c <= lastColumn; ++c) {
    letters << QString(QLatin1Char(ColumnLetter(c)));
    titles << FromCore(table.Summary(c).Title);
  }
  rows << letters << titles;
  for (int r = 0; r <= lastRow; ++r) {
    QStringList row{FromCore(table.RowTitle(r))};
    for (int c = 0; c <= lastColumn; ++c) {
      QString cell = NumberText(table.GetValue(r, c), table.DisplayDecimals(c));
      if (!cell.isEmpty() && table.IsExcluded(r, c)) cell += QLatin1Char('*');
      row << cell;
    }
    rows << row;
  }
  return rows;
}

QList<QStringList> SummaryRows(const TDocument& document) {
  const TDataTable& table = document.Table;
  const bool sdFormat = document.Format != TDataFormat::MeanSemN;
  const bool fullStatistics = ShowsFullStatistics(document.Format);
  int lastColumn = 0;
  for (int c = 0; c < MaxColumns; ++c)
    if (table.Summary(c).N > 0 || !table.Summary(c).Title.empty()) lastColumn = c;
  QList<QStringList> rows;
  QStringList letters{QString()};
  QStringList titles{QString()};
  for (int c = 0; c <= lastColumn; ++c) {
    letters << QString(QLatin1Char(ColumnLetter(c)));
    titles << FromCore(table.Summary(c).Title);
  }
  rows << letters << titles;
  for (int gridRow = FirstSummaryRow; gridRow <= LastSummaryRow; ++gridRow) {
    const std::string label = SummaryRowLabel(gridRow, sdFormat, fullStatistics);
    QStringList row{FromCore(label)};
    bool any = !label.empty();
    for (int c = 0; c <= lastColumn; ++c) {
      const std::string cell = SummaryCellText(table, c, gridRow, sdFormat, fullStatistics);
      any = any || !cell.empty();
      row << FromCore(cell);
    }
    if (any) rows << row;
  }
  return rows;
}

QList<QStringList> TwoByTwoRows(const TDocument& document) {
  const TTwoByTwoTable& t = document.TwoByTwo;
  const auto title = [&](int index) { return FromCore(t.Titles[static_cast<std::size_t>(index)]); };
  const auto count = [](TReal value) { return NumberText(value, 0); };
  return {
      {QString(), title(TTwoByTwoTable::Column1Title), title(TTwoByTwoTable::Column2Title), QStringLiteral("Total")},
      {title(TTwoByTwoTable::Row1Title), count(t.A), count(t.B), count(t.Row1Total())},
      {title(TTwoByTwoTable::Row2Title), count(t.C), count(t.D), count(t.Row2Total())},
      {QStringLiteral("Total"), count(t.Column1Total()), count(t.Column2Total()), count(t.GrandTotal())},
  };
}

void PrintReport(QPrinter& printer, const QString& title, const TReportText& report) {
  PaintReportPages(printer, report, title);
}

void PrintTextTable(QPrinter& printer, const QString& title, const QList<QStringList>& rows) {
  QString html = HtmlHeading(title);
  html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\">");
  for (qsizetype r = 0; r < rows.size(); ++r) {
    html += QStringLiteral("<tr>");
    for (const QString& cell : rows[r]) {
      const QString tag = r == 0 ? QStringLiteral("th") : QStringLiteral("td");
      html += QStringLiteral("<%1 align=\"right\">%2</%1>").arg(tag, cell.toHtmlEscaped());
    }
    html += QStringLiteral("</tr>");
  }
  html += QStringLiteral("</table>");
  PrintHtml(printer, html);
}

void PrintWidgetPicture(QPrinter& printer, QWidget& widget) {
  const QPixmap picture = widget.grab();
  QPainter painter;
  if (!painter.begin(&printer)) return;
  if (!picture.isNull()) {
    const QRect page = painter.viewport();
    QSize size = picture.size();
    size.scale(page.size(), Qt::KeepAspectRatio);
    painter.drawPixmap(QRect(page.topLeft(), size), picture);
  }
  painter.end();
}

void PrintDocumentStep(QPrinter& printer, const TDocument& document, TStep step, QWidget& page) {
  const QString title = FromCore(document.Table.Title());
  switch (step) {
    case TStep::DataEntry:
      if (document.Format == TDataFormat::TwoByTwo) {
        PrintTextTable(printer, title, TwoByTwoRows(document));
      } else {
        PrintTextTable(printer, title, DataTableRows(document));
      }
      return;
    case TStep::ColumnStats:
      PrintTextTable(printer, title, SummaryRows(document));
      return;
    case TStep::Results:
      // The report carries the data set title itself.
      PrintReport(printer, QString(), document.Report);
      return;
    case TStep::DataFormat:
    case TStep::ChooseTest:
    case TStep::Graph:
    case TStep::Loading:
      break;
  }
  PrintWidgetPicture(printer, page);
}

}  // namespace ombrel
