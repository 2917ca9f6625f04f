#pragma once

#include <string>

#include "core/graph/PictureSize.h"

namespace ombrel {

class TDocument;

// The graph, PDF and ODT commands of ombrel-cli, drawn by the application's own
// output code on Qt's offscreen platform (no window is shown). Each returns
// an empty text when the file was written, else the message for the user.

// The document's graph as the graph step draws it (SD error bars, or SEM),
// after computing what it needs, as SVG, PDF or PNG by the file's extension.
std::string WriteGraphFile(TDocument& document, bool sem, const TPictureSize& size, int dpi,
                           const std::string& fileName);

enum class TReportFileForm { Pdf, Odt };

// The document's report (computed afresh) as a PDF paginated as Print does,
// or as an OpenDocument text with its tables as tables.
std::string WriteReportFile(TDocument& document, const std::string& documentName, const std::string& fileName,
                            TReportFileForm form);

}  // namespace ombrel
