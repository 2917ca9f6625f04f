#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include "core/base/CalcProgress.h"
#include "core/document/Document.h"
#include "core/graph/GraphModel.h"
#include "core/report/ReportText.h"
#include "gui/output/GraphPictures.h"
#include "gui/output/ReportDocuments.h"

using namespace ombrel;

namespace {

void FillColumn(TDocument& document, int column, std::initializer_list<TReal> values) {
  int row = 0;
  for (const TReal value : values) document.Table.SetValue(row++, column, value);
  document.Table.MeanEntryColumn[static_cast<std::size_t>(column)] = 0;
  document.MarkChanged();
}

// Raw data: three columns of means with SD error bars.
TGraphModel MeansGraph() {
  TDocument document;
  document.Table.SetTitle("Dose response");
  FillColumn(document, 0, {4.1L, 5.2L, 4.8L, 5.5L});
  FillColumn(document, 1, {7.9L, 8.4L, 9.1L, 8.8L});
  FillColumn(document, 2, {12.2L, 11.5L, 13.0L, 12.4L});
  TSilentCalcProgress progress;
  return DrawGraph(document, progress);
}

// XY data: points, regression line and band, legend.
TGraphModel XYGraph() {
  TDocument document;
  document.ChooseFormat(TDataFormat::XY);
  FillColumn(document, 0, {1, 2, 3, 4, 5});
  FillColumn(document, 1, {2.1L, 3.9L, 6.2L, 7.8L, 10.1L});
  TSilentCalcProgress progress;
  return DrawGraph(document, progress);
}

struct TRendered {
  int Red = 0;
  int Dark = 0;
};

// Renders the first page of a PDF with poppler's pdftoppm and counts its
// red and its dark pixels.
TRendered RenderPdf(const QString& pdf, const QString& prefix) {
  QProcess process;
  process.start(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("72"),
                                             QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                                             QStringLiteral("1"), QStringLiteral("-singlefile"), pdf, prefix});
  if (!process.waitForFinished(60000) || process.exitCode() != 0) return {};
  const QImage image(prefix + QStringLiteral(".png"));
  TRendered counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor color = image.pixelColor(x, y);
      if (color.red() > 200 && color.green() < 80 && color.blue() < 80) ++counts.Red;
      if (color.red() < 100 && color.green() < 100 && color.blue() < 100) ++counts.Dark;
    }
  }
  return counts;
}

}  // namespace

// Pictures of graphs and reports written as a user exports them.
class GraphExportTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir mFolder;
  QString Path(const QString& name) const { return mFolder.filePath(name); }

 private slots:
  // The SVG is well-formed XML holding the drawn shapes: red bars, the
  // error bars' and axes' lines, the title as text.
  void SvgHoldsTheDrawnShapes_data() {
    QTest::addColumn<int>("graph");
    QTest::addColumn<QString>("color");
    QTest::addColumn<QString>("text");
    QTest::newRow("means") << 0 << QStringLiteral("#ff0000") << QStringLiteral("Dose response");
    QTest::newRow("xy") << 1 << QStringLiteral("#0000ff") << QStringLiteral("Linear Regression");
  }
  void SvgHoldsTheDrawnShapes() {
    QFETCH(int, graph);
    QFETCH(QString, color);
    QFETCH(QString, text);
    const QString file = Path(QStringLiteral("graph.svg"));
    QCOMPARE(WriteGraphPicture(graph == 0 ? MeansGraph() : XYGraph(), file, TPictureFormat::Svg, {}), QString());
    QFile svg(file);
    QVERIFY(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    int shapes = 0;
    bool colored = false;
    QString texts;
    while (!xml.atEnd()) {
      xml.readNext();
      if (!xml.isStartElement()) continue;
      const QStringView name = xml.name();
      if (name == u"path" || name == u"rect" || name == u"polyline" || name == u"line") ++shapes;
      if (name == u"g" && xml.attributes().value(QStringLiteral("fill")) == color) colored = true;
      if (name == u"text") texts += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY2(shapes > 20, qPrintable(QString::number(shapes)));
    QVERIFY(colored);
    QVERIFY2(texts.contains(text), qPrintable(texts));
  }

  void PdfRendersTheGraph() {
    const QString file = Path(QStringLiteral("graph.pdf"));
    QCOMPARE(WriteGraphPicture(MeansGraph(), file, TPictureFormat::Pdf, {}), QString());
    const TRendered page = RenderPdf(file, Path(QStringLiteral("graph-page")));
    QVERIFY2(page.Red > 100, "the bars");
    QVERIFY2(page.Dark > 100, "axes, error bars and text");
  }

  void PngHasTheAskedSizeAndResolution_data() {
    QTest::addColumn<QString>("size");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QSize>("pixels");
    QTest::newRow("16 x 12 cm at 300 dpi") << QStringLiteral("16x12cm") << 300 << QSize(1890, 1417);
    QTest::newRow("8 x 6 cm at 600 dpi") << QStringLiteral("8x6cm") << 600 << QSize(1890, 1417);
    QTest::newRow("pixels") << QStringLiteral("800x600px") << 300 << QSize(800, 600);
  }
  void PngHasTheAskedSizeAndResolution() {
    QFETCH(QString, size);
    QFETCH(int, dpi);
    QFETCH(QSize, pixels);
    const auto parsed = ParsePictureSize(size.toStdString());
    QVERIFY(parsed.has_value());
    const QString file = Path(QStringLiteral("graph.png"));
    QCOMPARE(WriteGraphPicture(MeansGraph(), file, TPictureFormat::Png, *parsed, dpi), QString());
    const QImage image(file);
    QCOMPARE(image.size(), pixels);
    if (parsed->Unit == TSizeUnit::Centimetres) QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), dpi);
  }

  // A file that cannot be written is said so and nothing is left behind.
  void UnwritableFileLeavesNothing() {
    const QString file = Path(QStringLiteral("missing-folder/graph.svg"));
    QVERIFY(!WriteGraphPicture(MeansGraph(), file, TPictureFormat::Svg, {}).isEmpty());
    QVERIFY(!QFile::exists(file));
    QVERIFY(
        !WriteReportPdf(TReportText(), QStringLiteral("t"), Path(QStringLiteral("missing-folder/r.pdf"))).isEmpty());
  }

  void CopyPutsAPictureAndSvgOnTheClipboard() {
    QApplication::clipboard()->setMimeData(GraphMimeData(MeansGraph()).release());
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data->hasImage());
    QVERIFY(data->data(QStringLiteral("image/svg+xml")).startsWith("<?xml"));
  }

  void ReportPdfRendersItsText() {
    TReportText report;
    report.BeginReport();
    for (int i = 0; i < 80; ++i) report.WriteLine("\x80Mean:\x80  12.345   0.0123   Line of the report");
    report.EndReport();
    report.FinishReport();
    const QString file = Path(QStringLiteral("report.pdf"));
    QCOMPARE(WriteReportPdf(report, QStringLiteral("Report"), file), QString());
    QVERIFY(RenderPdf(file, Path(QStringLiteral("report-page"))).Dark > 100);
  }
};

QTEST_MAIN(GraphExportTest)
#include "GraphExportTest.moc"
