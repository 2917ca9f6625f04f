#include <QTextBrowser>
#include <QVBoxLayout>

#include "app/Printing.h"
#include "document/Analyze.h"
#include "document/WindowCalcProgress.h"

namespace ombrel {

namespace {

// The results page until the results viewer exists: the report as rich
// text above the calculation status panel.
class TResultsPlaceholderPage : public TDocumentPage {
 public:
  explicit TResultsPlaceholderPage(Analyze& form) : TDocumentPage(form, TStep::Results) {
    auto* layout = new QVBoxLayout(this);
    ResultsViewer1 = new QTextBrowser;
    layout->addWidget(ResultsViewer1);
    StatusPanel = new TCalcStatusPanel(form.Progress());
    layout->addWidget(StatusPanel);
    QObject::connect(&form.Progress(), &TWindowCalcProgress::PanelStateChanged, this, [this] {
      const TCalcPanelState& state = Form().Progress().Panel();
      StatusPanel->Mirror(state);
      ResultsViewer1->setVisible(state.ViewerVisible);
    });
  }

  void EnterPage() override { ResultsViewer1->setHtml(ReportHtml(Document().Report)); }

  bool RunCommand(TPageCommand command) override {
    switch (command) {
      case TPageCommand::Copy:
        ResultsViewer1->copy();
        return true;
      case TPageCommand::SelectAll:
        ResultsViewer1->selectAll();
        return true;
      default:
        return false;
    }
  }

 private:
  QTextBrowser* ResultsViewer1;
  TCalcStatusPanel* StatusPanel;
};

}  // namespace

TDocumentPage* CreateDocumentPage(TStep step, Analyze& form) {
  if (step == TStep::Results) return new TResultsPlaceholderPage(form);
  return new TPlaceholderPage(form, step);
}

}  // namespace ombrel
