#include "gui/output/GraphPictures.h"

#include <QBuffer>
#include <QChart>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QMimeData>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

#include "gui/graph/ChartOverlay.h"
#include "gui/graph/GraphChart.h"
#include "gui/common/CoreText.h"

namespace ombrel {

namespace {

constexpr double MillimetresPerInch = 25.4;
constexpr double InchesPerMetre = 39.37007874;

QSizeF Millimetres(const TPictureSize& size) {
  if (size.Unit == TSizeUnit::Centimetres) return {size.Width * 10, size.Height * 10};
  return {size.Width / LayoutDpi * MillimetresPerInch, size.Height / LayoutDpi * MillimetresPerInch};
}

QString ProgramTitle(const TGraphModel& model) {
  return model.TitleLines.empty() ? QStringLiteral("Ombrel graph") : FromCore(model.TitleLines.front());
}

// SVG and PDF are drawn at the layout's own resolution, so one unit of the
// file is one pixel of the layout and the fonts keep their size.
void RenderSvg(const TGraphModel& model, const TPictureSize& size, QIODevice& device) {
  TGraphPicture picture(model, LayoutSize(size));
  const TPixelSize layout = picture.Layout();
  QSvgGenerator svg;
  svg.setOutputDevice(&device);
  svg.setSize(QSize(layout.Width, layout.Height));
  svg.setViewBox(QRect(0, 0, layout.Width, layout.Height));
  svg.setResolution(LayoutDpi);
  svg.setTitle(ProgramTitle(model));
  QPainter painter(&svg);
  picture.Render(painter, QRectF(0, 0, layout.Width, layout.Height));
}

bool RenderPdf(const TGraphModel& model, const TPictureSize& size, QIODevice& device) {
  QPdfWriter pdf(&device);
  pdf.setResolution(LayoutDpi);
  pdf.setTitle(ProgramTitle(model));
  pdf.setCreator(QStringLiteral("Ombrel"));
  pdf.setPageLayout(
      QPageLayout(QPageSize(Millimetres(size), QPageSize::Millimeter), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
  PaintGraphPage(pdf, model, size);
  return true;
}

}  // namespace

std::optional<TPictureFormat> PictureFormatOf(const QString& fileName) {
  const QString suffix = QFileInfo(fileName).suffix().toLower();
  if (suffix == QLatin1String("svg")) return TPictureFormat::Svg;
  if (suffix == QLatin1String("pdf")) return TPictureFormat::Pdf;
  if (suffix == QLatin1String("png")) return TPictureFormat::Png;
  return std::nullopt;
}

TGraphPicture::TGraphPicture(const TGraphModel& model, TPixelSize layout)
    : mScene(std::make_unique<QGraphicsScene>()), mChart(new QChart), mLayout(layout) {
  mScene->addItem(mChart);
  auto* overlay = new TChartOverlay(mChart);
  FillChart(*mChart, *overlay, model);
  const QRectF bounds(0, 0, layout.Width, layout.Height);
  mChart->setGeometry(bounds);
  mScene->setSceneRect(bounds);
  // The chart lays itself out when events are next processed; a picture is
  // drawn at once, so the layout is done here.
  if (QGraphicsLayout* chartLayout = mChart->layout()) chartLayout->activate();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

TGraphPicture::~TGraphPicture() = default;

void TGraphPicture::Render(QPainter& painter, const QRectF& target) {
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  mScene->render(&painter, target, QRectF(0, 0, mLayout.Width, mLayout.Height), Qt::IgnoreAspectRatio);
}

QByteArray GraphSvg(const TGraphModel& model, const TPictureSize& size) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  RenderSvg(model, size, buffer);
  return bytes;
}

// The image is painted at the layout's resolution scaled up to its pixels,
// so that fonts sized in points keep their place; the resolution it
// records is set afterwards.
QImage GraphImage(const TGraphModel& model, const TPictureSize& size, int dpi) {
  TGraphPicture picture(model, LayoutSize(size));
  const TPixelSize pixels = ImageSize(size, dpi);
  QImage image(pixels.Width, pixels.Height, QImage::Format_ARGB32_Premultiplied);
  const int layoutDotsPerMetre = static_cast<int>(std::lround(LayoutDpi * InchesPerMetre));
  image.setDotsPerMeterX(layoutDotsPerMetre);
  image.setDotsPerMeterY(layoutDotsPerMetre);
  image.fill(Qt::white);
  {
    QPainter painter(&image);
    picture.Render(painter, QRectF(0, 0, pixels.Width, pixels.Height));
  }
  const int dotsPerMetre = static_cast<int>(std::lround(ImageDpi(size, dpi) * InchesPerMetre));
  image.setDotsPerMeterX(dotsPerMetre);
  image.setDotsPerMeterY(dotsPerMetre);
  return image;
}

QString WriteGraphPicture(const TGraphModel& model, const QString& fileName, TPictureFormat format,
                          const TPictureSize& size, int dpi) {
  QSaveFile file(fileName);
  bool written = file.open(QIODevice::WriteOnly);
  if (written) {
    switch (format) {
      case TPictureFormat::Svg:
        RenderSvg(model, size, file);
        break;
      case TPictureFormat::Pdf:
        written = RenderPdf(model, size, file);
        break;
      case TPictureFormat::Png:
        written = GraphImage(model, size, dpi).save(&file, "PNG");
        break;
    }
  }
  if (!written || !file.commit()) {
    file.cancelWriting();
    return QStringLiteral("The graph could not be saved in %1.").arg(fileName);
  }
  return {};
}

std::unique_ptr<QMimeData> GraphMimeData(const TGraphModel& model, const TPictureSize& size) {
  auto data = std::make_unique<QMimeData>();
  data->setImageData(QVariant::fromValue(GraphImage(model, size, LayoutDpi)));
  data->setData(QStringLiteral("image/svg+xml"), GraphSvg(model, size));
  return data;
}

void PaintGraphPage(QPagedPaintDevice& device, const TGraphModel& model, const TPictureSize& size) {
  TGraphPicture picture(model, LayoutSize(size));
  QPainter painter;
  if (!painter.begin(&device)) return;
  const TPixelSize layout = picture.Layout();
  // Drawn in layout pixels onto the page: the painter's window is the
  // layout, its viewport the largest part of the page of the same shape.
  const QRect page = painter.viewport();
  QSizeF fitted(layout.Width, layout.Height);
  fitted.scale(page.size(), Qt::KeepAspectRatio);
  painter.setViewport(QRect(page.topLeft(), fitted.toSize()));
  painter.setWindow(0, 0, layout.Width, layout.Height);
  picture.Render(painter, QRectF(0, 0, layout.Width, layout.Height));
  painter.end();
}

}  // namespace ombrel
