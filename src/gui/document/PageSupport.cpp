#include "gui/document/PageSupport.h"

#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/DocumentPage.h"

namespace ombrel {

TGridFormat GridFormatFor(TDataFormat format) {
  switch (format) {
    case TDataFormat::XY:
      return TGridFormat::XY;
    case TDataFormat::Raw:
      return TGridFormat::RawData;
    case TDataFormat::MeanSdN:
      return TGridFormat::MeanSDN;
    case TDataFormat::MeanSemN:
      return TGridFormat::MeanSEMN;
    case TDataFormat::TwoByTwo:
      return TGridFormat::TwoByTwo;
    case TDataFormat::LargerTable:
      return TGridFormat::ContingencyTable;
    case TDataFormat::MultipleRegression:
      return TGridFormat::MultipleRegression;
  }
  return TGridFormat::RawData;
}

void NoteDocumentChanged(TDocumentPage& page) {
  page.Document().MarkChanged();
  page.Form().Host().DocumentStateChanged(page.Form());
}

}  // namespace ombrel
