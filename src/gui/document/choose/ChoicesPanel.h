#pragma once

#include <initializer_list>
#include <string_view>

#include <QWidget>

#include "core/base/DataTable.h"

class QAbstractButton;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QVBoxLayout;

namespace ombrel {

class Analyze;
class TChooseTestPage;
class TDocument;

// One set of questions of step 3: the questions for one data format and
// number of columns. A panel writes each answer straight into the
// document's TTestChoices and tells its host page, which shows every answer
// again; double-clicking an answer goes to the results.
class TChoicesPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TChoicesPanel(TChooseTestPage& host);

  // Shows the document's answers. The host calls this with Showing() true,
  // so that the controls' own signals store nothing.
  virtual void ShowChoices() = 0;

 protected:
  TChooseTestPage& Host() const { return mHost; }
  Analyze& Form() const;
  TDocument& Document() const;
  bool Showing() const;

  // An answer changed: results stale, every answer shown again.
  void Changed();
  // An answer changed that alters nothing else on the panel.
  void Stored();

  // A radio button whose double-click chooses it and goes to the results.
  QRadioButton* Radio(const QString& caption);
  // Exclusive radios in one group, so that unchecking one by code works.
  void Exclusive(std::initializer_list<QRadioButton*> radios);

  // A number field: up to 10 characters, up to 9 decimals.
  static QLineEdit* NumberField(const QString& name);
  // The field's number; 0 when it holds none.
  static TReal ReadNumber(const QLineEdit* field);
  static QString NumberText(TReal value);
  // A core caption as a label shows it: each doubled ampersand as one.
  static QString Caption(std::string_view text);
  // A group box titled `title` whose layout is returned in `layout`.
  static QGroupBox* Group(const QString& title, QVBoxLayout*& layout);
  // Checks or unchecks without a clicked or toggled signal.
  static void SetChecked(QAbstractButton* button, bool checked);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  TChooseTestPage& mHost;
};

}  // namespace ombrel
