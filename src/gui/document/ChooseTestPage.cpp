#include "gui/document/ChooseTestPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QStackedWidget>
#include <QVBoxLayout>

#include "gui/app/Asker.h"
#include "gui/document/Analyze.h"
#include "core/analysis/ChooseTest.h"
#include "gui/document/DocumentHost.h"
#include "gui/document/PageSupport.h"
#include "core/entry/CellText.h"
#include "gui/entry/SelectDialogs.h"

namespace ombrel {

namespace {

constexpr int UnknownsHelpTopic = 202;
constexpr int NumberFieldLength = 10;

QString Caption(std::string_view text) { return FromCore(LabelText(text)); }

// A number field: up to 10 characters, up to 9 decimals.
QLineEdit* NumberField() {
  auto* field = new QLineEdit;
  field->setMaxLength(NumberFieldLength);
  field->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]*([.,][0-9]{0,9})?")), field));
  return field;
}

TReal ReadNumber(const QLineEdit* field) {
  const TReal value = ParseCellText(field->text().toStdString());
  return IsEmpty(value) ? 0 : value;
}

QString NumberText(TReal value) { return QString::number(static_cast<double>(value), 'g', 10); }

QGroupBox* Group(const QString& title, QVBoxLayout*& layout) {
  auto* group = new QGroupBox(title);
  layout = new QVBoxLayout(group);
  return group;
}

void SetChecked(QAbstractButton* button, bool checked) {
  const QSignalBlocker blocker(button);
  button->setChecked(checked);
}

// Exclusive radios in one group, so that unchecking one by code works.
void Exclusive(QWidget* owner, std::initializer_list<QRadioButton*> radios) {
  auto* group = new QButtonGroup(owner);
  for (QRadioButton* radio : radios) group->addButton(radio);
}

}  // namespace

TChooseTestPage::TChooseTestPage(Analyze& form) : TDocumentPage(form, TStep::ChooseTest) {
  auto* layout = new QVBoxLayout(this);
  mStack = new QStackedWidget;
  layout->addWidget(mStack);
  mPages[TTestPage::None] = BuildNonePage();
  mPages[TTestPage::OneColumn] = BuildOneColumnPage();
  mPages[TTestPage::TwoColumns] = BuildTwoColumnPage();
  mPages[TTestPage::MultiColumn] = BuildMultiColumnPage();
  mPages[TTestPage::Regression] = BuildRegressionPage();
  mPages[TTestPage::TwoByTwo] = BuildTwoByTwoPage();
  mPages[TTestPage::MultipleRegression] = BuildMultipleRegressionPage();
  for (const auto& [kind, page] : mPages) mStack->addWidget(page);
}

QRadioButton* TChooseTestPage::Radio(const QString& caption) {
  auto* radio = new QRadioButton(caption);
  radio->installEventFilter(this);
  return radio;
}

bool TChooseTestPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick && qobject_cast<QRadioButton*>(watched) != nullptr) {
    auto* radio = static_cast<QRadioButton*>(watched);
    if (radio->isEnabled()) {
      radio->click();
      Form().Host().RequestStep(Form(), TStep::Results);
      return true;
    }
  }
  if (event->type() == QEvent::FocusIn && watched == HypotheticalMeanField && !mShowing) {
    // Clicking into the field chooses the typed value.
    HypotheticalMeanRadios[TypedHypotheticalMean]->setChecked(true);
    ChooseHypotheticalMean(Document().Choices, TypedHypotheticalMean, ReadNumber(HypotheticalMeanField));
    NoteDocumentChanged(*this);
  }
  if (event->type() == QEvent::FocusIn && (watched == ForceXField || watched == ForceYField) && !mShowing) {
    ForceThroughRadio->setChecked(true);
    ChooseRegression(Document().Choices, TRegressionChoice::ForcedLinear);
    ReadForceFields();
    Changed();
  }
  return TDocumentPage::eventFilter(watched, event);
}

void TChooseTestPage::Changed() {
  NoteDocumentChanged(*this);
  ShowPage();
}

// ---------------------------------------------------------------- building

QWidget* TChooseTestPage::BuildNonePage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->addWidget(new QLabel(QStringLiteral("There is nothing to choose for this kind of table.")));
  layout->addStretch(1);
  return page;
}

QWidget* TChooseTestPage::BuildOneColumnPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("Analyzing column ")));
  OneColumnSelectedLabel = new QLabel;
  top->addWidget(OneColumnSelectedLabel);
  top->addStretch(1);
  SelectAnotherColumnButton = new QPushButton(QStringLiteral("Select another column"));
  top->addWidget(SelectAnotherColumnButton);
  layout->addLayout(top);
  connect(SelectAnotherColumnButton, &QPushButton::clicked, this, &TChooseTestPage::OpenSelectColumns);

  QVBoxLayout* tests = nullptr;
  layout->addWidget(Group({}, tests));
  OneSampleTRadio = Radio(QStringLiteral("One sample t test. Assume sampling from a Gaussian population."));
  WilcoxonRadio = Radio(QStringLiteral("Wilcoxon rank sum test (nonparametric, no Gaussian assumption)."));
  tests->addWidget(OneSampleTRadio);
  tests->addWidget(WilcoxonRadio);
  Exclusive(this, {OneSampleTRadio, WilcoxonRadio});
  connect(OneSampleTRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OneColumnTest = 0;
    Changed();
  });
  connect(WilcoxonRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OneColumnTest = 1;
    Changed();
  });

  QVBoxLayout* tails = nullptr;
  layout->addWidget(Group({}, tails));
  OneColumnOneTailRadio = Radio(QStringLiteral("One-tail P value."));
  OneColumnTwoTailRadio = Radio(QStringLiteral("Two-tail P value. Recommended."));
  tails->addWidget(OneColumnOneTailRadio);
  tails->addWidget(OneColumnTwoTailRadio);
  Exclusive(this, {OneColumnOneTailRadio, OneColumnTwoTailRadio});
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
  for (int i = 0; i < 4; ++i) {
    QRadioButton* radio = Radio(FromCore(HypotheticalMeanCaption(i, false)));
    HypotheticalMeanRadios[static_cast<std::size_t>(i)] = radio;
    group->addButton(radio);
    connect(radio, &QRadioButton::clicked, this, [this, i] {
      ChooseHypotheticalMean(Document().Choices, i, ReadNumber(HypotheticalMeanField));
      Changed();
    });
  }
  for (int i = 0; i < 3; ++i) means->addWidget(HypotheticalMeanRadios[static_cast<std::size_t>(i)]);
  auto* typed = new QHBoxLayout;
  HypotheticalMeanField = NumberField();
  HypotheticalMeanField->setObjectName(QStringLiteral("HypotheticalMeanField"));
  HypotheticalMeanField->installEventFilter(this);
  typed->addWidget(HypotheticalMeanRadios[TypedHypotheticalMean]);
  typed->addWidget(HypotheticalMeanField);
  typed->addStretch(1);
  means->addLayout(typed);
  connect(HypotheticalMeanField, &QLineEdit::editingFinished, this, &TChooseTestPage::HypotheticalFieldLeft);
  layout->addStretch(1);
  return page;
}

QWidget* TChooseTestPage::BuildTwoColumnPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* top = new QHBoxLayout;
  TwoColumnSelectedLabel = new QLabel;
  top->addWidget(TwoColumnSelectedLabel);
  top->addStretch(1);
  SelectOtherColumnsButton = new QPushButton(QStringLiteral("Select other columns"));
  top->addWidget(SelectOtherColumnsButton);
  layout->addLayout(top);
  connect(SelectOtherColumnsButton, &QPushButton::clicked, this, &TChooseTestPage::OpenSelectColumns);

  QVBoxLayout* pairing = nullptr;
  layout->addWidget(Group(QStringLiteral("1. Is each value paired (matched) with the value next to it?"), pairing));
  UnpairedRadio = Radio(QStringLiteral("No. Perform unpaired test."));
  PairedRadio = Radio(QStringLiteral("Yes. Perform paired test."));
  pairing->addWidget(UnpairedRadio);
  pairing->addWidget(PairedRadio);
  Exclusive(this, {UnpairedRadio, PairedRadio});
  connect(UnpairedRadio, &QRadioButton::clicked, this, [this] {
    ChooseTwoColumnUnpaired(Document().Choices, true);
    Changed();
  });
  connect(PairedRadio, &QRadioButton::clicked, this, [this] {
    ChooseTwoColumnUnpaired(Document().Choices, false);
    Changed();
  });

  QVBoxLayout* gaussian = nullptr;
  layout->addWidget(Group(QStringLiteral("2. Assume values are sampled from Gaussian distributions?"), gaussian));
  NonparametricRadio = Radio(QStringLiteral("No. Perform nonparametric test."));
  EqualSDsRadio = Radio(QStringLiteral("Yes. Also assume the populations have equal SDs. "));
  UnequalSDsRadio = Radio(QStringLiteral("Yes, but assume the populations may have different SDs. "));
  gaussian->addWidget(NonparametricRadio);
  gaussian->addWidget(EqualSDsRadio);
  gaussian->addWidget(UnequalSDsRadio);
  Exclusive(this, {NonparametricRadio, EqualSDsRadio, UnequalSDsRadio});
  const std::array<std::pair<QRadioButton*, TGaussianAnswer>, 3> answers = {
      std::pair{NonparametricRadio, TGaussianAnswer::Nonparametric}, std::pair{EqualSDsRadio, TGaussianAnswer::EqualSDs},
      std::pair{UnequalSDsRadio, TGaussianAnswer::UnequalSDs}};
  for (const auto& [radio, answer] : answers)
    connect(radio, &QRadioButton::clicked, this, [this, answer = answer] {
      ChooseGaussianAnswer(Document().Choices, answer);
      Changed();
    });

  QVBoxLayout* tails = nullptr;
  layout->addWidget(Group(QStringLiteral("3. One- vs two-tail P value"), tails));
  TwoColumnOneTailRadio = Radio(QStringLiteral("One-tail P value."));
  TwoColumnTwoTailRadio = Radio(QStringLiteral("Two-tail P value. Recommended."));
  tails->addWidget(TwoColumnOneTailRadio);
  tails->addWidget(TwoColumnTwoTailRadio);
  Exclusive(this, {TwoColumnOneTailRadio, TwoColumnTwoTailRadio});
  connect(TwoColumnOneTailRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.TwoColumnTwoTailed = 0;
    Changed();
  });
  connect(TwoColumnTwoTailRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.TwoColumnTwoTailed = 1;
    Changed();
  });

  auto* result = new QHBoxLayout;
  result->addWidget(new QLabel(QStringLiteral("Based on your answers above, Ombrel will perform this test:  ")));
  TwoColumnTestLabel = new QLabel;
  result->addWidget(TwoColumnTestLabel);
  result->addStretch(1);
  layout->addLayout(result);
  layout->addStretch(1);
  return page;
}

QWidget* TChooseTestPage::BuildMultiColumnPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  QVBoxLayout* columns = nullptr;
  layout->addWidget(Group(QStringLiteral("1. Select columns"), columns));
  auto* columnRow = new QHBoxLayout;
  AllColumnsRadio = Radio(QStringLiteral("All columns"));
  SelectedColumnsRadio = Radio(QStringLiteral("Selected columns"));
  SelectColumnsButton = new QPushButton(QStringLiteral("Select"));
  MultiColumnSelectedLabel = new QLabel;
  columnRow->addWidget(AllColumnsRadio);
  columnRow->addWidget(SelectedColumnsRadio);
  columnRow->addWidget(SelectColumnsButton);
  columnRow->addStretch(1);
  columns->addLayout(columnRow);
  columns->addWidget(MultiColumnSelectedLabel);
  Exclusive(this, {AllColumnsRadio, SelectedColumnsRadio});
  connect(AllColumnsRadio, &QRadioButton::clicked, this, [this] {
    TDocument& document = Document();
    document.Choices.AllColumns = 1;
    for (int c = 0; c < MaxColumns; ++c)
      if (ColumnHoldsData(document.Table, c)) document.Table.ColumnSelected[static_cast<std::size_t>(c)] = 1;
    ColumnsChanged();
  });
  connect(SelectedColumnsRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.AllColumns = 0;
    Changed();
  });
  connect(SelectColumnsButton, &QPushButton::clicked, this, &TChooseTestPage::OpenSelectColumns);

  QVBoxLayout* pairing = nullptr;
  layout->addWidget(Group(QStringLiteral("2. Are the values in each row matched (paired)?"), pairing));
  OrdinaryAnovaRadio = Radio(QStringLiteral("No. Perform ordinary ANOVA."));
  RepeatedMeasuresRadio = Radio(QStringLiteral("Yes. Perform repeated measures ANOVA. "));
  pairing->addWidget(OrdinaryAnovaRadio);
  pairing->addWidget(RepeatedMeasuresRadio);
  Exclusive(this, {OrdinaryAnovaRadio, RepeatedMeasuresRadio});
  connect(OrdinaryAnovaRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OrdinaryAnova = 1;
    Changed();
  });
  connect(RepeatedMeasuresRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.OrdinaryAnova = 0;
    Changed();
  });

  QVBoxLayout* gaussian = nullptr;
  layout->addWidget(Group(QStringLiteral("3. Assume values are sampled from Gaussian distributions?"), gaussian));
  ParametricRadio = Radio(QStringLiteral("Yes. Use standard (parametric) methods."));
  MultiNonparametricRadio = Radio(QStringLiteral("No. Use nonparametric methods."));
  gaussian->addWidget(ParametricRadio);
  gaussian->addWidget(MultiNonparametricRadio);
  Exclusive(this, {ParametricRadio, MultiNonparametricRadio});
  connect(ParametricRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.MultiColumnNonparametric = 0;
    Changed();
  });
  connect(MultiNonparametricRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.MultiColumnNonparametric = 1;
    Changed();
  });

  QVBoxLayout* post = nullptr;
  layout->addWidget(Group(QStringLiteral("4. Choose a multiple comparison post test"), post));
  PostTestComboBox = new QComboBox;
  PostTestComboBox->setObjectName(QStringLiteral("PostTestComboBox"));
  post->addWidget(PostTestComboBox);
  connect(PostTestComboBox, &QComboBox::activated, this, &TChooseTestPage::PostTestRowChosen);
  OnlyIfSignificantCheckBox = new QCheckBox(QStringLiteral("Only perform post test if P<0.05."));
  post->addWidget(OnlyIfSignificantCheckBox);
  connect(OnlyIfSignificantCheckBox, &QCheckBox::clicked, this, [this](bool checked) {
    ChoosePostTestOnlyIfSignificant(Document().Choices, checked, PostTestComboBox->currentIndex());
    Changed();
  });
  auto* postRow = new QHBoxLayout;
  SelectPairsButton = new QPushButton(QStringLiteral("Select pairs..."));
  ControlColumnLabel = new QLabel(QStringLiteral("Control column:"));
  ControlColumnComboBox = new QComboBox;
  postRow->addWidget(SelectPairsButton);
  postRow->addWidget(ControlColumnLabel);
  postRow->addWidget(ControlColumnComboBox);
  postRow->addStretch(1);
  post->addLayout(postRow);
  connect(SelectPairsButton, &QPushButton::clicked, this, &TChooseTestPage::OpenSelectPairs);
  connect(ControlColumnComboBox, &QComboBox::activated, this, [this](int index) {
    const QVariant column = ControlColumnComboBox->itemData(index);
    if (!column.isValid()) return;
    Document().Choices.ControlColumn = column.toInt();
    Changed();
  });

  auto* result = new QHBoxLayout;
  result->addWidget(new QLabel(QStringLiteral("Based on your answers above, Ombrel will perform this test:  ")));
  MultiColumnTestLabel = new QLabel;
  result->addWidget(MultiColumnTestLabel);
  result->addStretch(1);
  layout->addLayout(result);
  layout->addStretch(1);
  return page;
}

QWidget* TChooseTestPage::BuildRegressionPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  QVBoxLayout* which = nullptr;
  layout->addWidget(Group(QStringLiteral("1. Which test?"), which));
  LinearRegressionRadio = Radio(QStringLiteral("Linear regression."));
  ForceThroughRadio = Radio(QStringLiteral("Linear regression. Force through"));
  PearsonRadio = Radio(QStringLiteral("Correlation (Pearson r). Assume Gaussian distributions."));
  SpearmanRadio = Radio(QStringLiteral("Nonparametric correlation (Spearman r). No Gaussian assumptions."));
  Exclusive(this, {LinearRegressionRadio, ForceThroughRadio, PearsonRadio, SpearmanRadio});
  which->addWidget(LinearRegressionRadio);
  auto* force = new QHBoxLayout;
  ForceXField = NumberField();
  ForceYField = NumberField();
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
      std::pair{ForceThroughRadio, TRegressionChoice::ForcedLinear}, std::pair{PearsonRadio, TRegressionChoice::Pearson},
      std::pair{SpearmanRadio, TRegressionChoice::Spearman}};
  for (const auto& [radio, choice] : choices)
    connect(radio, &QRadioButton::clicked, this, [this, choice = choice] {
      ChooseRegression(Document().Choices, choice);
      Changed();
    });
  for (QLineEdit* field : {ForceXField, ForceYField})
    connect(field, &QLineEdit::editingFinished, this, [this] {
      if (mShowing) return;
      ReadForceFields();
      NoteDocumentChanged(*this);
    });

  QVBoxLayout* runs = nullptr;
  layout->addWidget(Group(QStringLiteral("2. Test for departure from linearity?"), runs));
  RunsTestYesRadio = Radio(QStringLiteral("Yes. Perform runs test."));
  RunsTestNoRadio = Radio(QStringLiteral("No."));
  runs->addWidget(RunsTestYesRadio);
  runs->addWidget(RunsTestNoRadio);
  Exclusive(this, {RunsTestYesRadio, RunsTestNoRadio});
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
  connect(UnknownsHelpButton, &QPushButton::clicked, this,
          [this] { Form().Host().ShowHelpTopic(UnknownsHelpTopic); });
  layout->addStretch(1);
  return page;
}

QWidget* TChooseTestPage::BuildTwoByTwoPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  const auto pair = [this, layout](const QString& title, QRadioButton*& first, const QString& firstCaption,
                                   QRadioButton*& second, const QString& secondCaption) {
    QVBoxLayout* box = nullptr;
    layout->addWidget(Group(title, box));
    first = Radio(firstCaption);
    second = Radio(secondCaption);
    box->addWidget(first);
    box->addWidget(second);
    Exclusive(this, {first, second});
  };
  pair(QStringLiteral("1. Select a test"), FisherRadio, QStringLiteral("&Fisher's exact test (recommended)"),
       ChiSquareRadio, QStringLiteral("&Chi-square test (less exact, but more widely known)"));
  pair(QStringLiteral("2. Use Yate's continuity correction?"), YatesYesRadio, QStringLiteral("Yes (recommended)"),
       YatesNoRadio, QStringLiteral("No"));
  pair(QStringLiteral("3. P value"), OneSidedRadio, QStringLiteral("One-sided."), TwoSidedRadio,
       QStringLiteral("Two-sided (recommended)."));
  const auto set = [this](QRadioButton* radio, auto store) {
    connect(radio, &QRadioButton::clicked, this, [this, store] {
      store(Document().Choices);
      Changed();
    });
  };
  set(FisherRadio, [](TTestChoices& c) { c.UseChiSquare = 0; });
  set(ChiSquareRadio, [](TTestChoices& c) { c.UseChiSquare = 1; });
  set(YatesYesRadio, [](TTestChoices& c) { c.Yates = 1; });
  set(YatesNoRadio, [](TTestChoices& c) { c.Yates = 0; });
  set(OneSidedRadio, [](TTestChoices& c) { c.TwoByTwoTwoSided = 0; });
  set(TwoSidedRadio, [](TTestChoices& c) { c.TwoByTwoTwoSided = 1; });

  QVBoxLayout* also = nullptr;
  layout->addWidget(Group(QStringLiteral("4. Also calculate"), also));
  OddsRatioRadio = Radio(QStringLiteral("Odds ratio  (to analyze retrospective case-control studies)."));
  RelativeRiskRadio = Radio(QStringLiteral(
      "Relative risk, P1-P2, etc. (to analyze prospective, experimental and cross-sectional studies)"));
  SensitivityRadio =
      Radio(QStringLiteral("Sensitivity, specificity, predictive powers, etc . (to evaluate diagnostic tests)."));
  also->addWidget(OddsRatioRadio);
  also->addWidget(RelativeRiskRadio);
  also->addWidget(SensitivityRadio);
  Exclusive(this, {OddsRatioRadio, RelativeRiskRadio, SensitivityRadio});
  set(OddsRatioRadio, [](TTestChoices& c) { ChooseAlsoCalculate(c, TAlsoCalculate::OddsRatio); });
  set(RelativeRiskRadio, [](TTestChoices& c) { ChooseAlsoCalculate(c, TAlsoCalculate::RelativeRisk); });
  set(SensitivityRadio, [](TTestChoices& c) { ChooseAlsoCalculate(c, TAlsoCalculate::Sensitivity); });
  layout->addStretch(1);
  return page;
}

QWidget* TChooseTestPage::BuildMultipleRegressionPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  QVBoxLayout* which = nullptr;
  layout->addWidget(Group(QStringLiteral("1. Which analysis?"), which));
  MultipleRegressionRadio = Radio(QStringLiteral("&Multiple Regression"));
  CorrelationMatrixRadio = Radio(QStringLiteral("&Correlation matrix (compute r for every pair of variables)"));
  which->addWidget(MultipleRegressionRadio);
  which->addWidget(CorrelationMatrixRadio);
  Exclusive(this, {MultipleRegressionRadio, CorrelationMatrixRadio});
  connect(MultipleRegressionRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.MultipleRegression = 1;
    UpdateMultipleRegressionChoices(Document().Table, Document().Choices);
    Changed();
  });
  connect(CorrelationMatrixRadio, &QRadioButton::clicked, this, [this] {
    Document().Choices.MultipleRegression = 0;
    Changed();
  });

  QVBoxLayout* variables = nullptr;
  layout->addWidget(Group(QStringLiteral("2. Select variables"), variables));
  variables->addWidget(new QLabel(QStringLiteral("Which variable is the outcome (dependent variable or Y)?")));
  DependentList = new QListWidget;
  variables->addWidget(DependentList);
  connect(DependentList, &QListWidget::currentRowChanged, this, [this](int row) {
    if (mShowing || row < 0) return;
    Document().Choices.DependentColumn = DependentList->item(row)->data(Qt::UserRole).toInt();
    UpdateMultipleRegressionChoices(Document().Table, Document().Choices);
    Changed();
  });
  IndependentLabel = new QLabel;
  IndependentLabel->setWordWrap(true);
  variables->addWidget(IndependentLabel);
  IndependentList = new QListWidget;
  variables->addWidget(IndependentList);
  connect(IndependentList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    if (mShowing) return;
    const auto column = static_cast<std::size_t>(item->data(Qt::UserRole).toInt());
    Document().Choices.IndependentSelected[column] = item->checkState() == Qt::Checked ? 1 : 0;
    NoteDocumentChanged(*this);
  });
  auto* buttons = new QHBoxLayout;
  SelectAllXButton = new QPushButton(QStringLiteral("Select &All"));
  DeselectAllXButton = new QPushButton(QStringLiteral("Deselect All"));
  buttons->addWidget(SelectAllXButton);
  buttons->addWidget(DeselectAllXButton);
  buttons->addStretch(1);
  variables->addLayout(buttons);
  const auto checkAll = [this](bool checked) {
    TTestChoices& choices = Document().Choices;
    for (const TColumnEntry& entry : IndependentEntries(Document().Table, choices))
      choices.IndependentSelected[static_cast<std::size_t>(entry.Column)] = checked ? 1 : 0;
    Changed();
  };
  connect(SelectAllXButton, &QPushButton::clicked, this, [checkAll] { checkAll(true); });
  connect(DeselectAllXButton, &QPushButton::clicked, this, [checkAll] { checkAll(false); });
  return page;
}

// ---------------------------------------------------------------- showing

void TChooseTestPage::EnterPage() {
  const TDocument& document = Document();
  mShown = TestPageFor(document.Format, document.Choices.ColumnCountKind);
  ShowPage();
}

void TChooseTestPage::ShowPage() {
  mShowing = true;
  mStack->setCurrentWidget(mPages.at(mShown));
  switch (mShown) {
    case TTestPage::OneColumn:
      ShowOneColumn();
      break;
    case TTestPage::TwoColumns:
      ShowTwoColumns();
      break;
    case TTestPage::MultiColumn:
      ShowMultiColumn();
      break;
    case TTestPage::Regression:
      ShowRegression();
      break;
    case TTestPage::TwoByTwo:
      ShowTwoByTwo();
      break;
    case TTestPage::MultipleRegression:
      ShowMultipleRegression();
      break;
    case TTestPage::None:
      break;
  }
  mShowing = false;
}

void TChooseTestPage::ShowOneColumn() {
  const TDocument& document = Document();
  const TTestChoices& choices = document.Choices;
  const TChoiceAvailability availability = ChoiceAvailability(document.Table, document.Format);
  OneColumnSelectedLabel->setText(Caption(SelectedColumnsCaption(document.Table)));
  OneSampleTRadio->setEnabled(availability.OneColumnTest);
  WilcoxonRadio->setEnabled(availability.OneColumnTest);
  SetChecked(choices.OneColumnTest == 1 ? WilcoxonRadio : OneSampleTRadio, true);
  SetChecked(choices.OneColumnTwoTailed != 0 ? OneColumnTwoTailRadio : OneColumnOneTailRadio, true);
  const bool wilcoxon = choices.OneColumnTest == 1;
  for (int i = 0; i < 4; ++i)
    HypotheticalMeanRadios[static_cast<std::size_t>(i)]->setText(FromCore(HypotheticalMeanCaption(i, wilcoxon)));
  const int choice = std::clamp(choices.HypotheticalMeanChoice, 0, 3);
  SetChecked(HypotheticalMeanRadios[static_cast<std::size_t>(choice)], true);
  if (!HypotheticalMeanField->hasFocus()) HypotheticalMeanField->setText(NumberText(choices.HypotheticalMean));
  SelectAnotherColumnButton->setEnabled(CountColumnsWithData(document.Table) > 0);
}

void TChooseTestPage::HypotheticalFieldLeft() {
  if (mShowing) return;
  const TReal value = ReadNumber(HypotheticalMeanField);
  const int choice = HypotheticalMeanChoiceFor(value);
  ChooseHypotheticalMean(Document().Choices, choice, value);
  HypotheticalMeanField->setText(NumberText(Document().Choices.HypotheticalMean));
  Changed();
}

void TChooseTestPage::ShowTwoColumns() {
  const TDocument& document = Document();
  const TTestChoices& choices = document.Choices;
  const TChoiceAvailability availability = ChoiceAvailability(document.Table, document.Format);
  TwoColumnSelectedLabel->setText(Caption(SelectedColumnsCaption(document.Table)));
  UnpairedRadio->setEnabled(availability.TwoColumnPairing);
  PairedRadio->setEnabled(availability.TwoColumnPairing);
  SetChecked(choices.TwoColumnUnpaired != 0 ? UnpairedRadio : PairedRadio, true);
  NonparametricRadio->setEnabled(availability.TwoColumnNonparametric);
  UnequalSDsRadio->setEnabled(WelchAnswerEnabled(choices));
  switch (GaussianAnswer(choices)) {
    case TGaussianAnswer::Nonparametric:
      SetChecked(NonparametricRadio, true);
      break;
    case TGaussianAnswer::EqualSDs:
      SetChecked(EqualSDsRadio, true);
      break;
    case TGaussianAnswer::UnequalSDs:
      SetChecked(UnequalSDsRadio, true);
      break;
  }
  SetChecked(choices.TwoColumnTwoTailed != 0 ? TwoColumnTwoTailRadio : TwoColumnOneTailRadio, true);
  TwoColumnTestLabel->setText(FromCore(TwoColumnTestName(choices)));
  SelectOtherColumnsButton->setEnabled(CountColumnsWithData(document.Table) > 0);
}

void TChooseTestPage::ShowMultiColumn() {
  TDocument& document = Document();
  TTestChoices& choices = document.Choices;
  const TChoiceAvailability availability = ChoiceAvailability(document.Table, document.Format);
  SetChecked(choices.AllColumns != 0 ? AllColumnsRadio : SelectedColumnsRadio, true);
  SelectColumnsButton->setEnabled(CountColumnsWithData(document.Table) > 0);
  MultiColumnSelectedLabel->setText(Caption(SelectedColumnsCaption(document.Table)));
  OrdinaryAnovaRadio->setEnabled(availability.MultiColumnPairing);
  RepeatedMeasuresRadio->setEnabled(availability.MultiColumnPairing);
  SetChecked(choices.OrdinaryAnova != 0 ? OrdinaryAnovaRadio : RepeatedMeasuresRadio, true);
  ParametricRadio->setEnabled(availability.MultiColumnNonparametric);
  MultiNonparametricRadio->setEnabled(availability.MultiColumnNonparametric);
  const bool nonparametric = choices.MultiColumnNonparametric != 0;
  SetChecked(nonparametric ? MultiNonparametricRadio : ParametricRadio, true);

  const QSignalBlocker blocker(PostTestComboBox);
  PostTestComboBox->clear();
  for (const std::string_view caption : PostTestRowCaptions(nonparametric)) PostTestComboBox->addItem(FromCore(caption));
  const int row = PostTestRowFromChoices(choices);
  PostTestComboBox->setCurrentIndex(row);
  SetChecked(OnlyIfSignificantCheckBox, PostTestOnlyIfSignificantChecked(choices));
  SelectPairsButton->setVisible(SelectPairsVisible(row));
  SelectPairsButton->setEnabled(SelectPairsEnabled(document.Table));
  const bool control = ControlColumnVisible(row, nonparametric);
  ControlColumnLabel->setVisible(control);
  ControlColumnComboBox->setVisible(control);
  const QSignalBlocker controlBlocker(ControlColumnComboBox);
  ControlColumnComboBox->clear();
  for (const TColumnEntry& entry : ControlColumnEntries(document.Table)) {
    ControlColumnComboBox->addItem(FromCore(entry.Text), entry.Column);
    if (entry.Column == choices.ControlColumn) ControlColumnComboBox->setCurrentIndex(ControlColumnComboBox->count() - 1);
  }
  MultiColumnTestLabel->setText(FromCore(MultiColumnTestName(choices, row)));
}

void TChooseTestPage::PostTestRowChosen(int row) {
  TTestChoices& choices = Document().Choices;
  ChoosePostTestRow(choices, row, OnlyIfSignificantCheckBox->isChecked());
  Changed();
}

void TChooseTestPage::ShowRegression() {
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

void TChooseTestPage::ReadForceFields() {
  TTestChoices& choices = Document().Choices;
  choices.ForceX = ReadNumber(ForceXField);
  choices.ForceY = ReadNumber(ForceYField);
}

void TChooseTestPage::ShowTwoByTwo() {
  const TTestChoices& choices = Document().Choices;
  SetChecked(choices.UseChiSquare != 0 ? ChiSquareRadio : FisherRadio, true);
  const bool yates = YatesEnabled(choices);
  YatesYesRadio->setEnabled(yates);
  YatesNoRadio->setEnabled(yates);
  SetChecked(choices.Yates != 0 ? YatesYesRadio : YatesNoRadio, true);
  SetChecked(choices.TwoByTwoTwoSided != 0 ? TwoSidedRadio : OneSidedRadio, true);
  switch (AlsoCalculateFromChoices(choices)) {
    case TAlsoCalculate::OddsRatio:
      SetChecked(OddsRatioRadio, true);
      break;
    case TAlsoCalculate::RelativeRisk:
      SetChecked(RelativeRiskRadio, true);
      break;
    case TAlsoCalculate::Sensitivity:
      SetChecked(SensitivityRadio, true);
      break;
  }
}

void TChooseTestPage::ShowMultipleRegression() {
  const TDocument& document = Document();
  const TTestChoices& choices = document.Choices;
  SetChecked(choices.MultipleRegression != 0 ? MultipleRegressionRadio : CorrelationMatrixRadio, true);
  DependentList->clear();
  for (const TColumnEntry& entry : RawColumnEntries(document.Table)) {
    auto* item = new QListWidgetItem(FromCore(entry.Text), DependentList);
    item->setData(Qt::UserRole, entry.Column);
    if (entry.Column == choices.DependentColumn) DependentList->setCurrentItem(item);
  }
  DependentList->setEnabled(DependentListEnabled(document.Table, choices));
  IndependentLabel->setText(FromCore(IndependentListLabel(choices)));
  IndependentList->clear();
  for (const TColumnEntry& entry : IndependentEntries(document.Table, choices)) {
    auto* item = new QListWidgetItem(FromCore(entry.Text), IndependentList);
    item->setData(Qt::UserRole, entry.Column);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(choices.IndependentSelected[static_cast<std::size_t>(entry.Column)] != 0 ? Qt::Checked
                                                                                                   : Qt::Unchecked);
  }
  const bool independent = IndependentListEnabled(document.Table, choices);
  IndependentList->setEnabled(independent);
  SelectAllXButton->setEnabled(independent);
  DeselectAllXButton->setEnabled(independent);
}

// ---------------------------------------------------------------- dialogs

void TChooseTestPage::OpenSelectColumns() {
  TDocument& document = Document();
  TSelectColumnForm dialog(document.Table, Form().Host().Asker(), this);
  if (Form().Host().Asker().Exec(dialog) != QDialog::Accepted) return;
  if (mShown == TTestPage::MultiColumn) document.Choices.AllColumns = 0;
  ColumnsChanged();
}

void TChooseTestPage::ColumnsChanged() {
  TDocument& document = Document();
  NoteDocumentChanged(*this);
  document.UpdateChooseTestState();
  KeepOrChooseControlColumn(document.Table, document.Choices);
  EnterPage();
}

void TChooseTestPage::OpenSelectPairs() {
  TDocument& document = Document();
  TSelectColPairsForm dialog(document.Table, document.Choices.PairSelected, Form().Host().Asker(), this);
  if (Form().Host().Asker().Exec(dialog) != QDialog::Accepted) return;
  Changed();
}

}  // namespace ombrel
