#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextBrowser;

namespace ombrel {

// The help window: one short page per help topic, shipped as resources
// (":/help/<topic>.html", plus a few named pages), a contents list and a
// keyword search over every page's text.
class THelpWindow : public QWidget {
  Q_OBJECT

 public:
  explicit THelpWindow(QWidget* parent = nullptr);

  // Shows a topic's page; a negative topic opens the keyword search with an
  // empty key; a topic without a page shows the contents.
  void ShowTopic(int topic);
  // Shows a named page ("checklist", "contents").
  void ShowPage(const QString& name);
  void ShowContents();
  // The keyword search with `key` filled in and its matches listed.
  void ShowSearch(const QString& key);

  // Whether a topic has a page.
  bool HasTopic(int topic) const;
  // The pages whose title or text holds every word of `key` (any case),
  // by page name, in contents order.
  QStringList Search(const QString& key) const;
  // The page shown, by name ("695", "checklist", "contents").
  QString CurrentPage() const { return mCurrent; }
  QString PageTitle(const QString& name) const;

 private:
  struct TPage {
    QString Name;
    QString Title;
    QString Text;  // plain text, lower case, for the search
  };
  void ListMatches(const QString& key);
  // Shows, raises and activates the window, wholly on the screen.
  void ShowOnScreen();

  std::vector<TPage> mPages;
  QString mCurrent;
  QLineEdit* SearchEdit;
  QListWidget* MatchList;
  QTextBrowser* PageViewer;

 public:
  // Closes the window, as Escape does.
  QPushButton* CloseButton;
};

}  // namespace ombrel
