#include "document/DocumentPage.h"

#include <QLabel>
#include <QVBoxLayout>

#include "app/Printing.h"
#include "document/Analyze.h"

namespace ombrel {

namespace {

// The heading each step's page starts with.
QString StepHeading(TStep step) {
  switch (step) {
    case TStep::DataFormat:
      return QStringLiteral("First step: What kind of data do you wish to enter?");
    case TStep::DataEntry:
      return QStringLiteral("Enter and edit data.");
    case TStep::ColumnStats:
      return QStringLiteral("Summary stats (SD, SEM, etc.)");
    case TStep::ChooseTest:
      return QStringLiteral("Select a statistical test.");
    case TStep::Results:
      return QStringLiteral("View the results.");
    case TStep::Graph:
      return QStringLiteral("View a simple graph.");
    case TStep::Loading:
      break;
  }
  return {};
}

}  // namespace

TDocumentPage::TDocumentPage(Analyze& form, TStep step, QWidget* parent) : QWidget(parent), mForm(form), mStep(step) {}

TDocument& TDocumentPage::Document() const { return mForm.Document(); }

bool TDocumentPage::RunCommand(TPageCommand) { return false; }

void TDocumentPage::Print(QPrinter& printer) { PrintDocumentStep(printer, Document(), mStep, *this); }

TPlaceholderPage::TPlaceholderPage(Analyze& form, TStep step, QWidget* parent) : TDocumentPage(form, step, parent) {
  auto* layout = new QVBoxLayout(this);
  auto* heading = new QLabel(StepHeading(step));
  heading->setAlignment(Qt::AlignCenter);
  layout->addWidget(heading);
}

}  // namespace ombrel
