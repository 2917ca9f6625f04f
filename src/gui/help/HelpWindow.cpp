#include "gui/help/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/common/TextScale.h"

// The pages live in the static GUI library; naming their initialiser makes
// the linker keep them. It must be called from the global namespace.
static void InitHelpPages() { Q_INIT_RESOURCE(help); }

namespace ombrel {

namespace {

const QString HelpFolder = QStringLiteral(":/help/");

QString PageUrl(const QString& name) { return QStringLiteral("qrc:/help/%1.html").arg(name); }

QString NameOfUrl(const QUrl& url) {
  QString name = url.fileName();
  if (name.endsWith(QStringLiteral(".html"))) name.chop(5);
  return name;
}

}  // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("Ombrel Help"));
  InitHelpPages();
  for (const QString& fileName : QDir(HelpFolder).entryList({QStringLiteral("*.html")}, QDir::Files)) {
    const QString name = fileName.chopped(5);
    QFile file(HelpFolder + name + QStringLiteral(".html"));
    if (!file.open(QIODevice::ReadOnly)) continue;
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    QString title = document.metaInformation(QTextDocument::DocumentTitle);
    if (title.isEmpty()) title = name;
    mPages.push_back({name, title, (title + QLatin1Char(' ') + document.toPlainText()).toLower()});
  }
  // The contents list reads in title order.
  std::sort(mPages.begin(), mPages.end(),
            [](const TPage& a, const TPage& b) { return a.Title.compare(b.Title, Qt::CaseInsensitive) < 0; });

  auto* layout = new QVBoxLayout(this);
  auto* splitter = new QSplitter;
  layout->addWidget(splitter, 1);
  CloseButton = new QPushButton(QStringLiteral("Close"));
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addWidget(CloseButton);
  layout->addLayout(bottom);
  connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  escape->setContext(Qt::WindowShortcut);
  connect(escape, &QShortcut::activated, this, &QWidget::close);
  auto* side = new QWidget;
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(0, 0, 0, 0);
  sideLayout->addWidget(new QLabel(QStringLiteral("Search for:")));
  SearchEdit = new QLineEdit;
  sideLayout->addWidget(SearchEdit);
  MatchList = new QListWidget;
  // Long titles wrap rather than being cut.
  MatchList->setWordWrap(true);
  MatchList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  sideLayout->addWidget(MatchList);
  splitter->addWidget(side);
  PageViewer = new QTextBrowser;
  PageViewer->setOpenLinks(false);
  splitter->addWidget(PageViewer);
  splitter->setStretchFactor(1, 3);
  resize(760, 520);
  // Names for screen readers; the pages and topics follow View > Text size.
  SearchEdit->setAccessibleName(QStringLiteral("Search for"));
  MatchList->setAccessibleName(QStringLiteral("Topics"));
  PageViewer->setAccessibleName(QStringLiteral("Help page"));
  FollowTextScale(this, [this] {
    const QFont font = ScaledFont(QApplication::font(), QApplication::font().pointSizeF(), false);
    PageViewer->setFont(font);
    MatchList->setFont(font);
  });
  // The list as wide as its longest title, up to half the window.
  int titles = 0;
  for (const TPage& page : mPages) titles = std::max(titles, MatchList->fontMetrics().horizontalAdvance(page.Title));
  const int listWidth =
      std::min(titles + 2 * MatchList->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                   4 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 8,
               width() / 2);
  splitter->setSizes({listWidth, width() - listWidth});
  // The keyboard goes to the search field whenever the window takes it.
  SearchEdit->setFocus();

  connect(SearchEdit, &QLineEdit::textChanged, this, &THelpWindow::ListMatches);
  connect(MatchList, &QListWidget::itemActivated, this,
          [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
  connect(MatchList, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { ShowPage(item->data(Qt::UserRole).toString()); });
  connect(PageViewer, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    if (url.scheme() == QStringLiteral("http") || url.scheme() == QStringLiteral("https")) return;
    ShowPage(NameOfUrl(url));
  });
  ListMatches(QString());
}

bool THelpWindow::HasTopic(int topic) const {
  const QString name = QString::number(topic);
  return std::any_of(mPages.begin(), mPages.end(), [&](const TPage& page) { return page.Name == name; });
}

QString THelpWindow::PageTitle(const QString& name) const {
  for (const TPage& page : mPages)
    if (page.Name == name) return page.Title;
  return {};
}

void THelpWindow::ShowTopic(int topic) {
  if (topic < 0) {
    ShowSearch(QString());
  } else if (HasTopic(topic)) {
    ShowPage(QString::number(topic));
  } else {
    ShowContents();
  }
}

void THelpWindow::ShowPage(const QString& name) {
  if (name == QStringLiteral("contents") || PageTitle(name).isEmpty()) {
    ShowContents();
    return;
  }
  mCurrent = name;
  PageViewer->setSource(QUrl(PageUrl(name)));
  ShowOnScreen();
}

void THelpWindow::ShowOnScreen() {
  // Placed by us, not the window manager: over the window that asked, and
  // wholly on its screen, taken in by the screen when the screen is small.
  const QWidget* over = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  const QScreen* screen = over != nullptr ? over->screen() : this->screen();
  if (screen != nullptr) {
    const QRect area = screen->availableGeometry();
    if (!isVisible()) {
      resize(size().boundedTo(area.size() * 9 / 10));
      const QPoint center = over != nullptr ? over->frameGeometry().center() : area.center();
      move(center - QPoint(width() / 2, height() / 2));
    }
    show();
    // The frame is known once shown.
    const QRect frame = frameGeometry();
    const QPoint inside(std::clamp(frame.left(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)),
                        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
    if (inside != frame.topLeft()) move(pos() + inside - frame.topLeft());
  }
  show();
  raise();
  activateWindow();
}

void THelpWindow::ShowContents() {
  QString html = QStringLiteral("<h2>Ombrel Help</h2><p>Choose a page, or type words into the search field.</p><ul>");
  for (const TPage& page : mPages)
    html += QStringLiteral("<li><a href=\"%1\">%2</a></li>").arg(PageUrl(page.Name), page.Title.toHtmlEscaped());
  html += QStringLiteral("</ul>");
  mCurrent = QStringLiteral("contents");
  PageViewer->setHtml(html);
  ShowOnScreen();
}

void THelpWindow::ShowSearch(const QString& key) {
  ShowContents();
  SearchEdit->setText(key);
  ListMatches(key);
  SearchEdit->setFocus();
}

QStringList THelpWindow::Search(const QString& key) const {
  const QStringList words = key.toLower().split(QRegularExpression(QStringLiteral("\\W+")), Qt::SkipEmptyParts);
  QStringList matches;
  for (const TPage& page : mPages) {
    const bool all =
        std::all_of(words.begin(), words.end(), [&](const QString& word) { return page.Text.contains(word); });
    if (all) matches << page.Name;
  }
  return matches;
}

void THelpWindow::ListMatches(const QString& key) {
  MatchList->clear();
  for (const QString& name : Search(key)) {
    auto* item = new QListWidgetItem(PageTitle(name), MatchList);
    item->setData(Qt::UserRole, name);
  }
}

}  // namespace ombrel
