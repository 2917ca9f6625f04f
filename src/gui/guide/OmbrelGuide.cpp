#include "gui/guide/OmbrelGuide.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QStackedWidget>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>
#include <vector>

#include "core/shell/GuideText.h"
#include "gui/common/Contrast.h"
#include "gui/common/CoreText.h"
#include "gui/common/TextScale.h"

namespace ombrel {

namespace {

// Narrower, the longest words of the pages would no longer fit a line.
constexpr int MinimumBodyWidth = 220;
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

TOmbrelGuide::TOmbrelGuide(TStep step, QWidget* parent) : QDockWidget(FromCore(GuideTitle), parent), mStep(step) {
  // The name by which the main window saves and restores its place.
  setObjectName(QStringLiteral("OmbrelGuide"));
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
  setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  // Floated, it still leaves the keyboard where the user types.
  setAttribute(Qt::WA_ShowWithoutActivating);
  auto* body = new QWidget;
  auto* layout = new QVBoxLayout(body);
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
  mCheckLabel->setWordWrap(true);
  mCheckLabel->installEventFilter(this);
  mCloseButton = new QPushButton(FromCore(GuideCloseCaption));
  mCloseButton->setDefault(true);
  bottom->addWidget(mShowGuideCheckBox);
  bottom->addWidget(mCheckLabel, 1);
  bottom->addWidget(mCloseButton);
  layout->addLayout(bottom);
  layout->addStretch(1);

  // A short main window, or a large scale, scrolls the guide rather than
  // making the window taller than the screen.
  auto* scroller = new QScrollArea;
  scroller->setWidgetResizable(true);
  scroller->setFrameShape(QFrame::NoFrame);
  scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Only a frame: the keyboard goes to the guide's own controls.
  scroller->setFocusPolicy(Qt::NoFocus);
  scroller->setAccessibleName(QStringLiteral("Guide"));
  scroller->setWidget(body);
  body->setMinimumWidth(MinimumBodyWidth);
  setWidget(scroller);

  connect(mShowGuideCheckBox, &QCheckBox::toggled, this, &TOmbrelGuide::ShowGuideChanged);
  connect(mHeadingCloseButton, &QPushButton::clicked, this, &QDockWidget::close);
  connect(mCloseButton, &QPushButton::clicked, this, &QDockWidget::close);
}

QWidget* TOmbrelGuide::CreateHeading() {
  auto* heading = new QFrame;
  heading->setFrameShape(QFrame::StyledPanel);
  auto* layout = new QHBoxLayout(heading);
  auto* picture = new QLabel;
  const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(side, side));
  auto* title = new QLabel(FromCore(GuideTitle));
  // A narrow guide puts the two words on two lines rather than cutting them.
  title->setWordWrap(true);
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

void TOmbrelGuide::SetStep(TStep step) {
  mStep = step;
  mTutorNotebook->setCurrentIndex(GuidePageIndex(step));
}

bool TOmbrelGuide::eventFilter(QObject* watched, QEvent* event) {
  // The label belongs to the check box: a click on it toggles the box.
  if (watched == mCheckLabel && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    mShowGuideCheckBox->toggle();
    return true;
  }
  return QDockWidget::eventFilter(watched, event);
}

std::optional<TGuidePlace> GuidePlaceOf(const QMainWindow& window) {
  auto* guide = window.findChild<TOmbrelGuide*>(QString(), Qt::FindDirectChildrenOnly);
  if (guide == nullptr) return std::nullopt;
  TGuidePlace place;
  place.Floating = guide->isFloating();
  place.Left = window.dockWidgetArea(guide) == Qt::LeftDockWidgetArea;
  place.Width = guide->width();
  place.Geometry = guide->geometry();
  return place;
}

QString GuidePlaceText(const TGuidePlace& place) {
  if (place.Floating) {
    const QRect& g = place.Geometry;
    return QStringLiteral("floating %1 %2 %3 %4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height());
  }
  return QStringLiteral("%1 %2").arg(place.Left ? QStringLiteral("left") : QStringLiteral("right")).arg(place.Width);
}

TGuidePlace GuidePlaceFromText(const QString& text) {
  const QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
  std::vector<int> numbers;
  for (qsizetype i = 1; i < words.size(); ++i) {
    bool ok = false;
    numbers.push_back(words[i].toInt(&ok));
    if (!ok || numbers.back() < -100000 || numbers.back() > 100000) return {};
  }
  TGuidePlace place;
  if (words.size() == 5 && words[0] == QLatin1String("floating") && numbers[2] > 0 && numbers[3] > 0) {
    place.Floating = true;
    place.Geometry = QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
  } else if (words.size() == 2 && (words[0] == QLatin1String("left") || words[0] == QLatin1String("right")) &&
             numbers[0] > 0) {
    place.Left = words[0] == QLatin1String("left");
    place.Width = numbers[0];
  }
  return place;
}

void ShowOmbrelGuide(QMainWindow& window, TStep step, const QList<QAction*>& stepActions,
                     const std::function<void(bool)>& showGuideChanged, const TGuidePlace& place) {
  auto* guide = window.findChild<TOmbrelGuide*>(QString(), Qt::FindDirectChildrenOnly);
  const bool first = guide == nullptr;
  if (first) {
    guide = new TOmbrelGuide(step, &window);
    QObject::connect(guide, &TOmbrelGuide::ShowGuideChanged, &window, showGuideChanged);
    guide->addActions(stepActions);
    window.addDockWidget(place.Left ? Qt::LeftDockWidgetArea : Qt::RightDockWidgetArea, guide);
    // Floating only where it is seen: a place on a screen that is gone
    // leaves it docked.
    const QScreen* screen = QGuiApplication::screenAt(place.Geometry.center());
    if (place.Floating && screen != nullptr) {
      guide->setFloating(true);
      guide->setGeometry(place.Geometry);
    }
  }
  // Shown again, it is shown with the setting on.
  guide->ShowGuideCheckBox()->setChecked(true);
  guide->SetStep(step);
  guide->show();
  // Only a shown dock takes a width.
  if (first && !guide->isFloating())
    window.resizeDocks({guide}, {place.Width > 0 ? place.Width : GuideRoomWidth}, Qt::Horizontal);
  if (guide->isFloating()) guide->raise();
}

void FollowOmbrelGuide(QMainWindow& window, TStep step) {
  auto* guide = window.findChild<TOmbrelGuide*>(QString(), Qt::FindDirectChildrenOnly);
  if (guide != nullptr && guide->isVisible()) guide->SetStep(step);
}

}  // namespace ombrel
