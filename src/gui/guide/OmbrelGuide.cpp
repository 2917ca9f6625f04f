#include "gui/guide/OmbrelGuide.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "core/shell/GuideText.h"
#include "gui/common/Contrast.h"
#include "gui/common/CoreText.h"
#include "gui/common/TextScale.h"

namespace ombrel {

namespace {

constexpr int NotebookWidth = 420;
constexpr int TitlePixels = 19;
constexpr int TextPixels = 13;
const QColor TitleColor(128, 0, 128);  // purple
const QColor TextColor(0, 0, 128);     // navy

// The guide's own colour where it is legible on the palette's window
// colour (a light theme), the theme's text colour elsewhere.
void Color(QWidget& widget, const QColor& color) {
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText,
                   LegibleOn(palette.color(QPalette::Window), {color}, palette.color(QPalette::WindowText)));
  widget.setPalette(palette);
}

// A label's font at View > Text size, kept there.
void FollowPixelFont(QLabel* label, int pixels, bool bold) {
  FollowTextScale(label, [label, pixels, bold] {
    QFont font = ScaledFont(QApplication::font(), pixels, true);
    font.setBold(bold);
    label->setFont(font);
  });
}

}  // namespace

TOmbrelGuide::TOmbrelGuide(TStep step, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      mStep(step) {
  // A tool window beside the document: it never takes the keyboard from
  // where the user types, and never waits to be closed.
  setModal(false);
  setAttribute(Qt::WA_ShowWithoutActivating);
  setWindowTitle(FromCore(GuideTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(CreateHeading());

  mTutorNotebook = new QStackedWidget;
  mTutorNotebook->setObjectName(QStringLiteral("TutorNotebook"));
  mTutorNotebook->setToolTip(FromCore(GuidePagesHint));
  mTutorNotebook->setFrameShape(QFrame::StyledPanel);
  for (int index = 0; index < static_cast<int>(GuidePages().size()); ++index)
    mTutorNotebook->addWidget(CreatePage(index));
  mTutorNotebook->setCurrentIndex(GuidePageIndex(step));
  layout->addWidget(mTutorNotebook);

  auto* bottom = new QHBoxLayout;
  mShowGuideCheckBox = new QCheckBox;
  mShowGuideCheckBox->setObjectName(QStringLiteral("ShowGuideCheckBox"));
  mShowGuideCheckBox->setChecked(true);
  mShowGuideCheckBox->setAccessibleName(FromCore(GuideKeepShowingText));
  mCheckLabel = new QLabel(FromCore(GuideKeepShowingText));
  mCheckLabel->setObjectName(QStringLiteral("CheckLabel"));
  mCheckLabel->installEventFilter(this);
  mCloseButton = new QPushButton(FromCore(GuideCloseCaption));
  mCloseButton->setDefault(true);
  bottom->addWidget(mShowGuideCheckBox);
  bottom->addWidget(mCheckLabel);
  bottom->addStretch(1);
  bottom->addWidget(mCloseButton);
  layout->addLayout(bottom);

  connect(mShowGuideCheckBox, &QCheckBox::toggled, this, &TOmbrelGuide::ShowGuideChanged);
  connect(mHeadingCloseButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(mCloseButton, &QPushButton::clicked, this, &QDialog::accept);

  FollowTextScale(this, [this] { FitNotebookHeight(); });
  layout->setSizeConstraint(QLayout::SetFixedSize);
  mCloseButton->setFocus();
}

QWidget* TOmbrelGuide::CreateHeading() {
  auto* heading = new QFrame;
  heading->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QHBoxLayout(heading);
  auto* picture = new QLabel;
  const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(side, side));
  auto* title = new QLabel(FromCore(GuideTitle));
  FollowPixelFont(title, TitlePixels, true);
  Color(*title, TitleColor);
  mHeadingCloseButton = new QPushButton(FromCore(GuideCloseCaption));
  mHeadingCloseButton->setAutoDefault(false);
  layout->addWidget(picture);
  layout->addWidget(title);
  layout->addStretch(1);
  layout->addWidget(mHeadingCloseButton);
  return heading;
}

QWidget* TOmbrelGuide::CreatePage(int index) {
  const TGuidePage& page = GuidePages()[static_cast<std::size_t>(index)];
  auto* widget = new QWidget;
  widget->setObjectName(FromCore(page.Caption));
  widget->setAccessibleName(FromCore(page.Caption));
  auto* layout = new QVBoxLayout(widget);
  for (const std::string_view text : page.Texts) {
    auto* label = new QLabel(FromCore(text));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    FollowPixelFont(label, TextPixels, false);
    Color(*label, TextColor);
    layout->addWidget(label);
  }
  layout->addStretch(1);
  return widget;
}

void TOmbrelGuide::FitNotebookHeight() {
  // The dialog keeps one size whichever page it shows: that of the longest.
  int height = 0;
  for (int index = 0; index < mTutorNotebook->count(); ++index) {
    const QWidget* page = mTutorNotebook->widget(index);
    height = std::max(height, page->layout()->totalHeightForWidth(TTextScale::Instance().Pixels(NotebookWidth)));
  }
  const int frame = 2 * mTutorNotebook->frameWidth();
  mTutorNotebook->setFixedSize(TTextScale::Instance().Pixels(NotebookWidth) + frame, height + frame);
}

void TOmbrelGuide::SetStep(TStep step) {
  mStep = step;
  mTutorNotebook->setCurrentIndex(GuidePageIndex(step));
}

void TOmbrelGuide::PlaceOver(const QWidget& mainWindow) {
  const QRect main = mainWindow.frameGeometry();
  const QScreen* screen = mainWindow.screen();
  const QRect area = screen != nullptr ? screen->availableGeometry() : main;
  const TGuidePosition position = GuidePositionOnScreen(mStep, main.left(), main.top(), main.width(),
                                                        frameGeometry().width(), area.left(), area.width());
  move(position.Left, position.Top);
}

bool TOmbrelGuide::eventFilter(QObject* watched, QEvent* event) {
  // The label belongs to the check box: a click on it toggles the box.
  if (watched == mCheckLabel && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    mShowGuideCheckBox->toggle();
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void ShowOmbrelGuide(QWidget& window, TStep step, const QList<QAction*>& stepActions,
                     const std::function<void(bool)>& showGuideChanged) {
  auto* guide = window.findChild<TOmbrelGuide*>(QString(), Qt::FindDirectChildrenOnly);
  if (guide == nullptr) {
    guide = new TOmbrelGuide(step, &window);
    QObject::connect(guide, &TOmbrelGuide::ShowGuideChanged, &window, showGuideChanged);
    guide->addActions(stepActions);
  }
  // Shown again, it is shown with the setting on.
  guide->ShowGuideCheckBox()->setChecked(true);
  guide->SetStep(step);
  // The size is fixed by the layout only once it is activated.
  guide->adjustSize();
  guide->PlaceOver(window);
  guide->show();
  // Once shown, its frame may have grown by the style's margins.
  guide->PlaceOver(window);
  guide->raise();
}

void PlaceOmbrelGuide(QWidget& window) {
  auto* guide = window.findChild<TOmbrelGuide*>(QString(), Qt::FindDirectChildrenOnly);
  if (guide != nullptr && guide->isVisible()) guide->PlaceOver(window);
}

}  // namespace ombrel
