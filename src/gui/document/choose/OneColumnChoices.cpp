#include "gui/document/choose/OneColumnChoices.h"

#include <QButtonGroup>
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
#include "gui/document/ChooseTestPage.h"
#include "gui/document/PageSupport.h"
#include "gui/common/CoreText.h"

namespace ombrel {

TOneColumnChoices::TOneColumnChoices(TChooseTestPage& host) : TChoicesPanel(host) {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Analyzing column ")));
  OneColumnSelectedLabel = new QLabel;
  top->addWidget(OneColumnSelectedLabel);
  top->addStretch(1);
  SelectAnotherColumnButton = new QPushButton(QStringLiteral("Select another column"));
  top->addWidget(SelectAnotherColumnButton);
  layout->addLayout(top);
  connect(SelectAnotherColumnButton, &QPushButton::clicked, this, [this] { Host().OpenSelectColumns(); });

  QVBoxLayout* tests = nullptr;
  layout->addWidget(Group({}, tests));
  OneSampleTRadio = Radio(QStringLiteral("One sample t test. Assume sampling from a Gaussian population."));
  WilcoxonRadio = Radio(QStringLiteral("Wilcoxon rank sum test (nonparametric, no Gaussian assumption)."));
  tests->addWidget(OneSampleTRadio);
  tests->addWidget(WilcoxonRadio);
  Exclusive({OneSampleTRadio, WilcoxonRadio});
  connect(OneSampleTRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OneColumnTest = TOneColumnTest::OneSampleT;
    Changed();
  });
  connect(WilcoxonRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OneColumnTest = TOneColumnTest::Wilcoxon;
    Changed();
  });

  QVBoxLayout* tails = nullptr;
  layout->addWidget(Group({}, tails));
  OneColumnOneTailRadio = Radio(QStringLiteral("One-tail P value."));
  OneColumnTwoTailRadio = Radio(QStringLiteral("Two-tail P value. Recommended."));
  tails->addWidget(OneColumnOneTailRadio);
  tails->addWidget(OneColumnTwoTailRadio);
  Exclusive({OneColumnOneTailRadio, OneColumnTwoTailRadio});
  connect(OneColumnOneTailRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OneColumnTwoTailed = 0;
    Changed();
  });
  connect(OneColumnTwoTailRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OneColumnTwoTailed = 1;
    Changed();
  });

  QVBoxLayout* means = nullptr;
  layout->addWidget(Group({}, means));
  auto* group = new QButtonGroup(this);
  for (std::size_t i = 0; i < HypotheticalMeanRadios.size(); ++i) {
    const auto choice = static_cast<THypotheticalMeanChoice>(i);
    QRadioButton* radio = Radio(FromCore(HypotheticalMeanCaption(choice, false)));
    HypotheticalMeanRadios[i] = radio;
    group->addButton(radio);
    connect(radio, &QRadioButton::clicked, this, [this, choice] {
      ChooseHypotheticalMean(Document().Choices, choice, ReadNumber(HypotheticalMeanField));
      Changed();
    });
  }
  // The last radio, the typed value's, sits beside its field.
  for (std::size_t i = 0; i + 1 < HypotheticalMeanRadios.size(); ++i) means->addWidget(HypotheticalMeanRadios[i]);
  auto* typed = new QHBoxLayout;
  HypotheticalMeanField = NumberField(QStringLiteral("Hypothetical mean"));
  HypotheticalMeanField->setObjectName(QStringLiteral("HypotheticalMeanField"));
  HypotheticalMeanField->installEventFilter(this);
  typed->addWidget(RadioOf(THypotheticalMeanChoice::Typed));
  typed->addWidget(HypotheticalMeanField);
  typed->addStretch(1);
  means->addLayout(typed);
  connect(HypotheticalMeanField, &QLineEdit::editingFinished, this, &TOneColumnChoices::HypotheticalFieldLeft);
  layout->addStretch(1);
}

QRadioButton* TOneColumnChoices::RadioOf(THypotheticalMeanChoice choice) const {
  return HypotheticalMeanRadios[static_cast<std::size_t>(choice)];
}

bool TOneColumnChoices::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched == HypotheticalMeanField && !Showing()) {
    // Clicking into the field chooses the typed value.
    RadioOf(THypotheticalMeanChoice::Typed)->setChecked(true);
    ChooseHypotheticalMean(Document().Choices, THypotheticalMeanChoice::Typed, ReadNumber(HypotheticalMeanField));
    Stored();
  }
  return TChoicesPanel::eventFilter(watched, event);
}

void TOneColumnChoices::ShowChoices() {
  const TDocument& document = Document();
  const TTestChoices& choices = document.Choices;
  const TChoiceAvailability availability = ChoiceAvailability(document.Table, document.Format);
  OneColumnSelectedLabel->setText(Caption(SelectedColumnsCaption(document.Table)));
  OneSampleTRadio->setEnabled(availability.OneColumnTest);
  WilcoxonRadio->setEnabled(availability.OneColumnTest);
  const bool wilcoxon = choices.OneColumnTest == TOneColumnTest::Wilcoxon;
  SetChecked(wilcoxon ? WilcoxonRadio : OneSampleTRadio, true);
  SetChecked(choices.OneColumnTwoTailed != 0 ? OneColumnTwoTailRadio : OneColumnOneTailRadio, true);
  for (std::size_t i = 0; i < HypotheticalMeanRadios.size(); ++i)
    HypotheticalMeanRadios[i]->setText(
        FromCore(HypotheticalMeanCaption(static_cast<THypotheticalMeanChoice>(i), wilcoxon)));
  SetChecked(RadioOf(ShownHypotheticalMeanChoice(choices)), true);
  if (!HypotheticalMeanField->hasFocus()) HypotheticalMeanField->setText(NumberText(choices.HypotheticalMean));
  SelectAnotherColumnButton->setEnabled(CountColumnsWithData(document.Table) > 0);
}

void TOneColumnChoices::HypotheticalFieldLeft() {
  if (Showing()) return;
  const TReal value = ReadNumber(HypotheticalMeanField);
  ChooseHypotheticalMean(Document().Choices, HypotheticalMeanChoiceFor(value), value);
  HypotheticalMeanField->setText(NumberText(Document().Choices.HypotheticalMean));
  Changed();
}

}  // namespace ombrel
