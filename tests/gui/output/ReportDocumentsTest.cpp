#include <QDirIterator>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <memory>

#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/document/ReportPrinter.h"
#include "core/report/ReportText.h"
#include "gui/output/ReportDocuments.h"

using namespace ombrel;

namespace {

constexpr double PointsPerMillimetre = 72.0 / 25.4;

struct TPdfWord {
  QString Text;
  QRectF Box;
};

struct TPdfPage {
  QSizeF Size;
  QList<TPdfWord> Words;
};

// The words of a PDF and their boxes (in points), page by page, as
// poppler's pdftotext reads them.
QList<TPdfPage> PdfWords(const QString& pdf) {
  QProcess process;
  process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
  if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
  QList<TPdfPage> pages;
  QXmlStreamReader xml(process.readAllStandardOutput());
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    const auto number = [&](const char* name) { return xml.attributes().value(QLatin1String(name)).toDouble(); };
    if (xml.name() == QLatin1String("page")) {
      pages.append({QSizeF(number("width"), number("height")), {}});
    } else if (xml.name() == QLatin1String("word") && !pages.isEmpty()) {
      const QRectF box(QPointF(number("xMin"), number("yMin")), QPointF(number("xMax"), number("yMax")));
      pages.last().Words.append({xml.readElementText(), box});
    }
  }
  // In reading order, line by line: pdftotext's own order follows columns.
  for (TPdfPage& page : pages)
    std::sort(page.Words.begin(), page.Words.end(), [](const TPdfWord& a, const TPdfWord& b) {
      const qreal ay = std::round(a.Box.bottom());
      const qreal by = std::round(b.Box.bottom());
      return ay != by ? ay < by : a.Box.left() < b.Box.left();
    });
  return pages;
}

QString WithoutBlanks(QString text) {
  text.remove(QRegularExpression(QStringLiteral("\\s")));
  return text;
}

// What is wrong with a printed report, or nothing: every character of
// `text` must be in the PDF, in order, inside the printable area of
// `margin` millimetres; a page number closes each page of a longer report;
// the last page holds more than the closing mark. `pages` tells how many
// there were.
QString PrintedProblem(const QString& pdf, const QString& text, double margin, qsizetype& pageCount) {
  const QList<TPdfPage> pages = PdfWords(pdf);
  pageCount = pages.size();
  if (pages.isEmpty()) return QStringLiteral("no PDF pages");
  QString printed;
  for (qsizetype n = 0; n < pages.size(); ++n) {
    const TPdfPage& page = pages[n];
    const double edge = margin * PointsPerMillimetre - 0.5;
    const QRectF area(edge, edge, page.Size.width() - 2 * edge, page.Size.height() - 2 * edge);
    QList<TPdfWord> words = page.Words;
    if (pages.size() > 1 && (words.isEmpty() || words.takeLast().Text != QString::number(n + 1)))
      return QStringLiteral("page %1 has no page number").arg(n + 1);
    for (const TPdfWord& word : page.Words)
      if (!area.contains(word.Box)) return QStringLiteral("'%1' is outside the page").arg(word.Text);
    for (const TPdfWord& word : words) printed += word.Text;
    if (n == pages.size() - 1 &&
        std::all_of(words.begin(), words.end(), [](const TPdfWord& w) { return w.Text == QLatin1String("*"); }))
      return QStringLiteral("the last page holds the closing mark alone");
  }
  const QString expected = WithoutBlanks(text);
  qsizetype at = 0;
  while (at < printed.size() && at < expected.size() && printed[at] == expected[at]) ++at;
  if (printed.size() == expected.size() && at == expected.size()) return {};
  return QStringLiteral("printed '%1', expected '%2'").arg(printed.mid(at - 20, 60), expected.mid(at - 20, 60));
}

// A golden report file as a report of its lines.
std::unique_ptr<TReportText> ReportOfFile(const QString& path, QString& text) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return nullptr;
  text = QString::fromUtf8(file.readAll());
  auto report = std::make_unique<TReportText>();
  report->BeginReport();
  QStringList lines = text.split(QLatin1Char('\n'));
  if (lines.last().isEmpty()) lines.removeLast();
  for (const QString& line : lines) report->WriteLine(line.toStdString());
  report->FinishReport();
  return report;
}

QStringList GoldenReports() {
  QStringList files;
  QDirIterator it(QStringLiteral(OMBREL_TEST_DATA_DIR "/reports"), {QStringLiteral("*.txt")}, QDir::Files,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next();
  files.sort();
  return files;
}

}  // namespace

// Reports on paper: the PDF export and Print lay out every line inside the
// printable area; the ODT export holds the report's tables as tables.
class ReportDocumentsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir mFolder;

 private slots:
  // Every golden report, through the PDF export (20 mm margins) and through
  // Print on a printer of narrower margins with a heading.
  void EveryCharacterIsPrintedInsideThePage_data() {
    QTest::addColumn<bool>("print");
    QTest::addColumn<double>("margin");
    QTest::newRow("export") << false << 20.0;
    QTest::newRow("print") << true << 12.0;
  }
  void EveryCharacterIsPrintedInsideThePage() {
    QFETCH(bool, print);
    QFETCH(double, margin);
    const QString heading = print ? QStringLiteral("Growth (1) & yield") : QString();
    const QStringList files = GoldenReports();
    QVERIFY(files.size() > 50);
    int longer = 0;
    for (const QString& path : files) {
      QString text;
      const auto report = ReportOfFile(path, text);
      QVERIFY(report != nullptr);
      const QString pdf = mFolder.filePath(QStringLiteral("report.pdf"));
      if (print) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                          QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter));
        PaintReportPages(printer, *report, heading);
      } else {
        QCOMPARE(WriteReportPdf(*report, QStringLiteral("Report"), pdf), QString());
      }
      qsizetype pages = 0;
      const QString problem = PrintedProblem(pdf, heading + text, margin, pages);
      QVERIFY2(problem.isEmpty(), qPrintable(path + QStringLiteral(": ") + problem));
      longer += pages > 1 ? 1 : 0;
    }
    // The golden reports include some of more than one page.
    QVERIFY(longer > 0);
  }

  // Reports whose closing mark falls at every place near a page's end: it
  // goes over with the lines before it; and a report wider than the page.
  void ClosingMarkNeverStandsAlone() {
    int moved = 0;
    for (int lines = 58; lines <= 124; lines += lines == 66 ? 48 : 1) {
      TReportText report;
      report.BeginReport();
      QString text;
      for (int i = 1; i <= lines; ++i) {
        const std::string line = "Line " + std::to_string(i) + (i % 7 == 0 ? "" : " of the report");
        report.WriteLine(i % 7 == 0 ? std::string() : line);
        if (i % 7 != 0) text += QString::fromStdString(line);
      }
      report.WriteLine();
      report.WriteLine("                       *     *     *");
      report.FinishReport();
      const QString pdf = mFolder.filePath(QStringLiteral("end.pdf"));
      QCOMPARE(WriteReportPdf(report, QStringLiteral("Report"), pdf), QString());
      qsizetype pages = 0;
      const QString problem = PrintedProblem(pdf, text + QStringLiteral("***"), 20, pages);
      QVERIFY2(problem.isEmpty(), qPrintable(QStringLiteral("%1 lines: %2").arg(lines).arg(problem)));
      moved += pages > 1 ? 1 : 0;
    }
    QVERIFY(moved > 0);

    // A line wider than the printable area (a report line of 80 columns
    // between margins of 30 mm) is drawn smaller, never cut.
    TReportText wide;
    wide.BeginReport();
    const std::string line = "Wide:" + std::string(71, 'w') + "|end";
    wide.WriteLine(line);
    wide.FinishReport();
    const QString pdf = mFolder.filePath(QStringLiteral("wide.pdf"));
    {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(pdf);
      printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(30, 30, 30, 30),
                                        QPageLayout::Millimeter));
      PaintReportPages(printer, wide, QString());
    }
    qsizetype pages = 0;
    QCOMPARE(PrintedProblem(pdf, QString::fromStdString(line), 30, pages), QString());
  }

  // The ODT export is an OpenDocument package whose content holds the
  // report's tables as tables, with their numbers.
  void OdtHoldsTheTablesAsTables() {
    TDocument document;
    QVERIFY(OpenDocumentFile(OMBREL_EXAMPLES_DIR "/two-by-two.omd", document).Ok());
    document.EffectSizes = true;
    ComputeReport(document);
    const QString odt = mFolder.filePath(QStringLiteral("report.odt"));
    QCOMPARE(WriteReportOdt(document.Report, QStringLiteral("Picnic"), odt), QString());
    QProcess unzip;
    unzip.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import sys, zipfile; z = zipfile.ZipFile(sys.argv[1]); "
                                "sys.stdout.write(z.read('mimetype').decode() + '\\n' + "
                                "z.read('content.xml').decode())"),
                 odt});
    QVERIFY(unzip.waitForFinished(30000));
    const QString content = QString::fromUtf8(unzip.readAllStandardOutput());
    QVERIFY2(content.startsWith(QStringLiteral("application/vnd.oasis.opendocument.text\n")),
             qPrintable(content.left(200)));
    QVERIFY(content.count(QStringLiteral("<table:table ")) >= 1);
    // The counts of the data table in cells of their own, the figures of the
    // text in paragraphs.
    for (const char* figure : {">23<", ">31<", "Relative risk = 3.407", "0.5417", "Effect size and method"})
      QVERIFY2(content.contains(QLatin1String(figure)), figure);
  }
};

QTEST_MAIN(ReportDocumentsTest)
#include "ReportDocumentsTest.moc"
