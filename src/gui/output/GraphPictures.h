#pragma once

#include <QImage>
#include <QString>
#include <memory>
#include <optional>

#include "core/graph/GraphModel.h"
#include "core/graph/PictureSize.h"

class QChart;
class QGraphicsScene;
class QMimeData;
class QPainter;
class QPagedPaintDevice;
class QRectF;

namespace ombrel {

class TChartOverlay;

enum class TPictureFormat { Svg, Pdf, Png };

// The format a file name's extension asks for (any case); none for others.
std::optional<TPictureFormat> PictureFormatOf(const QString& fileName);

// A graph laid out at a size in its own scene, away from any window, ready
// to be drawn on any paint device.
class TGraphPicture {
 public:
  TGraphPicture(const TGraphModel& model, TPixelSize layout);
  ~TGraphPicture();
  TGraphPicture(const TGraphPicture&) = delete;
  TGraphPicture& operator=(const TGraphPicture&) = delete;

  // Draws the whole graph into `target`, scaled to fill it.
  void Render(QPainter& painter, const QRectF& target);
  TPixelSize Layout() const { return mLayout; }

 private:
  std::unique_ptr<QGraphicsScene> mScene;
  QChart* mChart;  // owned by the scene
  TPixelSize mLayout;
};

// The graph as SVG text, and as an image of ImageSize(size, dpi) pixels
// that records its resolution.
QByteArray GraphSvg(const TGraphModel& model, const TPictureSize& size);
QImage GraphImage(const TGraphModel& model, const TPictureSize& size, int dpi);

// Writes the graph to a file in the format; the file is replaced only once
// completely written, so a failure leaves nothing behind. Returns an empty
// text when written, else the message to show.
QString WriteGraphPicture(const TGraphModel& model, const QString& fileName, TPictureFormat format,
                          const TPictureSize& size, int dpi = DefaultPictureDpi);

// The graph for the clipboard: an image (at screen resolution) and SVG.
std::unique_ptr<QMimeData> GraphMimeData(const TGraphModel& model, const TPictureSize& size = {});

// Draws the graph on a page device (a printer, a PDF), as large as the page
// allows with its proportions kept. The device should have LayoutDpi as its
// resolution, which keeps the text in proportion with the lines (fonts are
// sized by the device's resolution, the drawing by the layout).
void PaintGraphPage(QPagedPaintDevice& device, const TGraphModel& model, const TPictureSize& size = {});

}  // namespace ombrel
