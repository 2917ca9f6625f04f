#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "core/document/Steps.h"

class QPrinter;
class QWidget;

namespace ombrel {

class TDocument;
class TReportText;

// The cell texts of the data table as printed: a heading row of column
// letters, a row of column titles, then one row per data row with its row
// title, up to the last row and column in use.
QList<QStringList> DataTableRows(const TDocument& document);
// The summary grid as printed: one row per summary line, one column per
// column in use.
QList<QStringList> SummaryRows(const TDocument& document);
// The 2x2 table with its titles and totals.
QList<QStringList> TwoByTwoRows(const TDocument& document);

// Prints a report, a table of texts (first row as heading) or a picture of
// a widget scaled to the page. Each starts with `title` when it is not
// empty.
void PrintReport(QPrinter& printer, const QString& title, const TReportText& report);
void PrintTextTable(QPrinter& printer, const QString& title, const QList<QStringList>& rows);
void PrintWidgetPicture(QPrinter& printer, QWidget& widget);

// What printing a step's page prints when the page has nothing better: the
// data (or the 2x2 table) on step 1, the summaries on step 2, the report on
// step 4, a picture of the page otherwise.
void PrintDocumentStep(QPrinter& printer, const TDocument& document, TStep step, QWidget& page);

}  // namespace ombrel
