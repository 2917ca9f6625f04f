#include "gui/document/DataFormatPage.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "core/shell/FormatPageText.h"
#include "gui/document/PageSupport.h"
#include "gui/common/CoreText.h"
#include "gui/common/TabChain.h"

namespace ombrel {

TDataFormatPage::TDataFormatPage(Analyze& form) : TDocumentPage(form, TStep::DataFormat) {
  auto* layout = new QVBoxLayout(this);
  HeadingLabel = new QLabel(FromCore(FormatPageHeading));
  QFont headingFont = HeadingLabel->font();
  headingFont.setBold(true);
  HeadingLabel->setFont(headingFont);
  layout->addWidget(HeadingLabel);

  auto* columns = new QHBoxLayout;
  auto* familyGroup = new QGroupBox(FromCore(FamilyGroupCaption));
  auto* familyLayout = new QVBoxLayout(familyGroup);
  for (const TTestFamily family : FamilyOrder) {
    auto* radio = new QRadioButton(FromCore(FamilyCaption(family)));
    familyLayout->addWidget(radio);
    mFamilyRadios[family] = radio;
    connect(radio, &QRadioButton::clicked, this, [this, family] { FamilyClicked(family); });
  }
  ExampleLine1 = new QLabel;
  ExampleLine2 = new QLabel;
  familyLayout->addWidget(ExampleLine1);
  familyLayout->addWidget(ExampleLine2);
  columns->addWidget(familyGroup);

  auto* formatGroup = new QGroupBox;
  auto* formatLayout = new QVBoxLayout(formatGroup);
  for (const TDataFormat format : FormatOrder) {
    auto* radio = new QRadioButton(FromCore(FormatCaption(format)));
    formatLayout->addWidget(radio);
    mFormatRadios[format] = radio;
    radio->installEventFilter(this);
    connect(radio, &QRadioButton::clicked, this, [this, format] { FormatClicked(format); });
  }
  columns->addWidget(formatGroup);
  layout->addLayout(columns);

  AvailableTestsLabel = new QLabel(FromCore(AvailableTestsHeading));
  layout->addWidget(AvailableTestsLabel);
  TestListLabel = new QLabel;
  TestListLabel->setObjectName(QStringLiteral("TestListLabel"));
  layout->addWidget(TestListLabel);
  layout->addStretch(1);

  auto* next = new QHBoxLayout;
  NextStepArrow = new QPushButton;
  NextStepArrow->setObjectName(QStringLiteral("NextStepArrow"));
  NextStepArrow->setIcon(style()->standardIcon(QStyle::SP_ArrowRight));
  NextStepArrow->setFlat(true);
  NextStepArrow->setAccessibleName(FromCore(NextStepLabelText));
  NextStepLabel = new QLabel(FromCore(NextStepLabelText));
  NextStepLabel->setObjectName(QStringLiteral("NextStepLabel"));
  NextStepLabel->setCursor(Qt::PointingHandCursor);
  NextStepLabel->installEventFilter(this);
  next->addWidget(NextStepArrow);
  next->addWidget(NextStepLabel);
  next->addStretch(1);
  layout->addLayout(next);
  connect(NextStepArrow, &QPushButton::clicked, this, &TDataFormatPage::GoToNextStep);
}

void TDataFormatPage::EnterPage() {
  ShowState();
  const bool hint = Form().NextStepHintVisible();
  NextStepArrow->setVisible(hint);
  NextStepLabel->setVisible(hint);
  FocusCheckedRadio(this);
}

void TDataFormatPage::ShowState() {
  const TDocument& document = Document();
  const bool hasData = document.Table.HasData();
  mFamilyRadios.at(document.Family)->setChecked(true);
  for (const auto& [format, radio] : mFormatRadios) {
    radio->setEnabled(FormatEnabled(document.Family, format, hasData));
    if (format == document.Format) radio->setChecked(true);
  }
  const auto examples = FamilyExampleLines(document.Family);
  ExampleLine1->setText(FromCore(examples[0]));
  ExampleLine2->setText(FromCore(examples[1]));
  QStringList lines;
  for (const std::string_view line : AvailableTestLines(document.Format)) lines << FromCore(line);
  TestListLabel->setText(lines.join(QLatin1Char('\n')));
  TabToCheckedRadios(this);
}

void TDataFormatPage::FamilyClicked(TTestFamily family) {
  if (Form().Calculating()) return;
  TDocument& document = Document();
  if (family != document.Family) {
    document.ChooseFamily(family);
    Form().NoteDataChanged(DataFormatAction());
  }
  ShowState();
}

void TDataFormatPage::FormatClicked(TDataFormat format) {
  if (Form().Calculating()) return;
  TDocument& document = Document();
  if (format != document.Format && document.ChooseFormat(format)) Form().NoteDataChanged(DataFormatAction());
  ShowState();
}

void TDataFormatPage::GoToNextStep() { Form().Host().RequestNextStep(Form()); }

bool TDataFormatPage::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::MouseButtonDblClick) {
    for (const auto& [format, radio] : mFormatRadios) {
      if (radio != watched || !radio->isEnabled()) continue;
      FormatClicked(format);
      GoToNextStep();
      return true;
    }
  }
  if (watched == NextStepLabel && event->type() == QEvent::MouseButtonRelease) {
    GoToNextStep();
    return true;
  }
  return TDocumentPage::eventFilter(watched, event);
}

}  // namespace ombrel
