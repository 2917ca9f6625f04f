#include "gui/document/choose/RegressionChoices.h"

#include <array>
#include <utility>

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/analysis/ChooseTest.h"
#include "core/document/Document.h"
#include "gui/document/Analyze.h"
#include "gui/document/ChooseTestPage.h"
#include "gui/document/DocumentHost.h"

namespace ombrel {

namespace {

constexpr int UnknownsHelpTopic = 202;

}  // namespace

TRegressionChoices::TRegressionChoices(TChooseTestPage& host) : TChoicesPanel(host) {
  auto* layout = new QVBoxLayout(this);
  QVBoxLayout* which = nullptr;
  layout->addWidget(Group(QStringLiteral("1. Which test?"), which));
  LinearRegressionRadio = Radio(QStringLiteral("Linear regression."));
  ForceThroughRadio = Radio(QStringLiteral("Linear regression. Force through"));
  PearsonRadio = Radio(QStringLiteral("Correlation (Pearson r). Assume Gaussian distributions."));
  SpearmanRadio = Radio(QStringLiteral("Nonparametric correlation (Spearman r). No Gaussian assumptions."));
  Exclusive({LinearRegressionRadio, ForceThroughRadio, PearsonRadio, SpearmanRadio});
  which->addWidget(LinearRegressionRadio);
  auto* force = new QHBoxLayout;
  ForceXField = NumberField(QStringLiteral("Force through X"));
  ForceYField = NumberField(QStringLiteral("Force through Y"));
  ForceXField->installEventFilter(this);
  ForceYField->installEventFilter(this);
  force->addWidget(ForceThroughRadio);
  force->addWidget(new QLabel(QStringLiteral("X=")));
  force->addWidget(ForceXField);
  force->addWidget(new QLabel(QStringLiteral("Y=")));
  force->addWidget(ForceYField);
  force->addStretch(1);
  which->addLayout(force);
  which->addWidget(PearsonRadio);
  which->addWidget(SpearmanRadio);
  const std::array<std::pair<QRadioButton*, TRegressionChoice>, 4> choices = {
      std::pair{LinearRegressionRadio, TRegressionChoice::Linear},
      std::pair{ForceThroughRadio, TRegressionChoice::ForcedLinear},
      std::pair{PearsonRadio, TRegressionChoice::Pearson}, std::pair{SpearmanRadio, TRegressionChoice::Spearman}};
  for (const auto& [radio, choice] : choices)
    connect(radio, &QRadioButton::clicked, this, [this, choice = choice] {
      ChooseRegression(Document().Choices, choice);
      Changed();
    });
  for (QLineEdit* field : {ForceXField, ForceYField})
    connect(field, &QLineEdit::editingFinished, this, [this] {
      if (Showing()) return;
      ReadForceFields();
      Stored();
    });

  QVBoxLayout* runs = nullptr;
  layout->addWidget(Group(QStringLiteral("2. Test for departure from linearity?"), runs));
  RunsTestYesRadio = Radio(QStringLiteral("Yes. Perform runs test."));
  RunsTestNoRadio = Radio(QStringLiteral("No."));
  runs->addWidget(RunsTestYesRadio);
  runs->addWidget(RunsTestNoRadio);
  Exclusive({RunsTestYesRadio, RunsTestNoRadio});
  connect(RunsTestYesRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.RunsTest = 1;
    Changed();
  });
  connect(RunsTestNoRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.RunsTest = 0;
    Changed();
  });

  QVBoxLayout* unknowns = nullptr;
  layout->addWidget(Group(QStringLiteral("3. Read unknowns from standard curve?"), unknowns));
  auto* unknownRow = new QHBoxLayout;
  InterpolateCheckBox = new QCheckBox(QStringLiteral("Interpolate unknowns from the standard curve."));
  UnknownsHelpButton = new QPushButton(QStringLiteral("Where do I enter the unknowns?"));
  unknownRow->addWidget(InterpolateCheckBox);
  unknownRow->addWidget(UnknownsHelpButton);
  unknownRow->addStretch(1);
  unknowns->addLayout(unknownRow);
  connect(InterpolateCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
    Document().Choices.InterpolateUnknowns = checked ? 1 : 0;
    Changed();
  });
  connect(UnknownsHelpButton, &QPushButton::clicked, this, [this] { Form().Host().ShowHelpTopic(UnknownsHelpTopic); });
  layout->addStretch(1);
}

bool TRegressionChoices::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && (watched == ForceXField || watched == ForceYField) && !Showing()) {
    // Clicking into either field chooses the line forced through the point.
    ForceThroughRadio->setChecked(true);
    ChooseRegression(Document().Choices, TRegressionChoice::ForcedLinear);
    ReadForceFields();
    Changed();
  }
  return TChoicesPanel::eventFilter(watched, event);
}

void TRegressionChoices::ShowChoices() {
  const TTestChoices& choices = Document().Choices;
  switch (RegressionChoiceFromChoices(choices)) {
    case TRegressionChoice::Linear:
      SetChecked(LinearRegressionRadio, true);
      break;
    case TRegressionChoice::ForcedLinear:
      SetChecked(ForceThroughRadio, true);
      break;
    case TRegressionChoice::Pearson:
      SetChecked(PearsonRadio, true);
      break;
    case TRegressionChoice::Spearman:
      SetChecked(SpearmanRadio, true);
      break;
  }
  if (!ForceXField->hasFocus()) ForceXField->setText(NumberText(choices.ForceX));
  if (!ForceYField->hasFocus()) ForceYField->setText(NumberText(choices.ForceY));
  const bool linearity = LinearityOptionsEnabled(choices);
  RunsTestYesRadio->setEnabled(linearity);
  RunsTestNoRadio->setEnabled(linearity);
  SetChecked(choices.RunsTest != 0 ? RunsTestYesRadio : RunsTestNoRadio, true);
  InterpolateCheckBox->setEnabled(linearity);
  SetChecked(InterpolateCheckBox, choices.InterpolateUnknowns != 0);
}

void TRegressionChoices::ReadForceFields() {
  TTestChoices& choices = Document().Choices;
  choices.ForceX = ReadNumber(ForceXField);
  choices.ForceY = ReadNumber(ForceYField);
}

}  // namespace ombrel
