#include "gui/app/StepBar.h"
#include "gui/common/CoreText.h"
#include "gui/common/TabChain.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QToolButton>

namespace ombrel {

namespace {

const char* const StepButtonCaptions[StepCount] = {"1st", "Data", "Stats", "Test", "Results", "Graph"};
const char* const StepButtonHints[StepCount] = {
    "First step. Choose data format.", "Enter and edit data.", "Summary stats (SD, SEM, etc.)",
    "Select a statistical test.",      "View the results.",    "View a simple graph.",
};

QToolButton* ArrowButton(Qt::ArrowType arrow, const QString& name, const QString& hint) {
  auto* button = new QToolButton;
  button->setArrowType(arrow);
  button->setToolTip(hint);
  button->setAccessibleName(name);
  button->setAccessibleDescription(hint);
  return button;
}

}  // namespace

TStepBar::TStepBar(QWidget* parent) : QWidget(parent) {
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 4, 6, 4);
  for (int i = 0; i < 2; ++i) {
    auto* button = new QPushButton;
    mHelpButtons[static_cast<std::size_t>(i)] = button;
    layout->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, i] { emit HelpClicked(i); });
  }
  layout->addStretch(1);
  mBackButton = ArrowButton(Qt::LeftArrow, QStringLiteral("Previous step"), QStringLiteral("Previous step (F9)"));
  connect(mBackButton, &QToolButton::clicked, this, &TStepBar::BackClicked);
  layout->addWidget(mBackButton);
  for (int step = 0; step < StepCount; ++step) {
    auto* button = new QToolButton;
    button->setText(QString::fromLatin1(StepButtonCaptions[step]));
    button->setToolTip(QString::fromLatin1(StepButtonHints[step]));
    button->setAccessibleDescription(QString::fromLatin1(StepButtonHints[step]));
    button->setCheckable(true);
    button->setAutoRaise(false);
    connect(button, &QToolButton::clicked, this, [this, step] { emit StepClicked(static_cast<TStep>(step)); });
    mStepButtons[static_cast<std::size_t>(step)] = button;
    layout->addWidget(button);
  }
  mForwardButton = ArrowButton(Qt::RightArrow, QStringLiteral("Next step"), QStringLiteral("Next step (F10)"));
  connect(mForwardButton, &QToolButton::clicked, this, &TStepBar::ForwardClicked);
  layout->addWidget(mForwardButton);
}

void TStepBar::ShowState(const TMenuState& state, const std::array<THelpButton, 2>& help, bool hasDocument) {
  for (std::size_t index = 0; index < mStepButtons.size(); ++index) {
    mStepButtons[index]->setEnabled(state.Enabled[StepCommand(static_cast<int>(index))]);
    mStepButtons[index]->setChecked(state.PressedStep == static_cast<int>(index));
  }
  mBackButton->setEnabled(state.BackButton);
  mForwardButton->setEnabled(state.ForwardButton);
  for (std::size_t i = 0; i < mHelpButtons.size(); ++i) {
    mHelpButtons[i]->setText(FromCore(help[i].Caption));
    mHelpButtons[i]->setToolTip(FromCore(help[i].Hint));
    mHelpButtons[i]->setAccessibleDescription(FromCore(help[i].Hint));
    mHelpButtons[i]->setEnabled(hasDocument);
  }
}

bool TStepBar::focusNextPrevChild(bool next) {
  if (mFocusPast && TabLeaves(this, QApplication::focusWidget(), next) && mFocusPast(next)) return true;
  return QWidget::focusNextPrevChild(next);
}

QToolButton* TStepBar::StepButton(int step) const {
  return step >= 0 && step < StepCount ? mStepButtons[static_cast<std::size_t>(step)] : nullptr;
}

QPushButton* TStepBar::HelpButton(int button) const {
  return button >= 0 && button < 2 ? mHelpButtons[static_cast<std::size_t>(button)] : nullptr;
}

}  // namespace ombrel
