#pragma once

// What the document-page tests share: a host that routes step requests as
// the main window does, and a quick way to put values into a document.

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QList>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>

#include "support/ShellTestSupport.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentHost.h"
#include "core/entry/CellStore.h"
#include "core/report/ReportLines.h"

namespace ombrel {

// Routes step requests as the main window does: only to reachable steps.
class TTestHost : public TDocumentHost {
 public:
  TScriptedAsker Questions;
  int StateChanges = 0;
  QList<int> HelpTopics;

  TAsker& Asker() override { return Questions; }
  bool SaveDocument(Analyze&, bool) override { return false; }
  void RequestStep(Analyze& form, TStep step) override {
    if (!form.Calculating() && StepReachable(form.Document().Format, step)) form.GoToStep(step);
  }
  void RequestNextStep(Analyze& form) override {
    const TStep next = NextStep(form.Document().Format, form.Step());
    if (next != form.Step()) RequestStep(form, next);
  }
  void DocumentStateChanged(Analyze&) override { ++StateChanges; }
  void ShowHelpTopic(int topic) override { HelpTopics << topic; }
  QString ImportFolder() const override { return {}; }
  void SetImportFolder(const QString&) override {}
  QChar ListSeparator() const override { return QLatin1Char(','); }
  // Each status message, and "-" for its end.
  QStringList Statuses;
  void BeginStatus(const QString& message) override { Statuses << message; }
  void EndStatus() override { Statuses << QStringLiteral("-"); }
};

// A document window for `document`, shown at 900 x 700 and made the active
// window, as the main window would show it; the caller waits for it to be
// exposed.
inline std::unique_ptr<Analyze> ShowDocumentWindow(TTestHost& host, std::unique_ptr<TDocument> document) {
  auto form = std::make_unique<Analyze>(host, std::move(document));
  form->resize(900, 700);
  form->show();
  QApplication::setActiveWindow(form.get());
  return form;
}

// Runs a dialog by pressing its Help button, then Cancel; `fixedSize` tells
// whether the shown dialog kept one size.
inline std::function<int(QDialog&)> PressHelpThenCancel(bool& fixedSize) {
  return [&fixedSize](QDialog& dialog) {
    dialog.show();
    fixedSize = dialog.minimumSize() == dialog.maximumSize();
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>()) buttons->button(QDialogButtonBox::Help)->click();
    dialog.reject();
    return static_cast<int>(QDialog::Rejected);
  };
}

// Values 10c + r² + 1 in the first `rows` rows of each column.
inline void Fill(TDocument& document, std::initializer_list<int> columns, int rows = 5) {
  for (const int c : columns)
    for (int r = 0; r < rows; ++r) StoreCell(document.Table, r, c, static_cast<TReal>(10 * c + r * r + 1));
  document.MarkChanged();
}

// A report's text without the line that says when it was computed, which may
// differ by a second between two computations of the same report.
inline QString WithoutTimeLine(QString text) {
  static const QRegularExpression timeLine(QStringLiteral("^\\d{1,2}:\\d\\d:\\d\\d .*\n"));
  return text.remove(timeLine);
}

// The report as the results page shows it, without its time line.
inline QString ShownReportText(const TReportText& report) {
  const std::string plain = PlainReportText(report, "\n");
  QString text = QString::fromLatin1(plain.data(), static_cast<qsizetype>(plain.size()));
  text.chop(1);
  return WithoutTimeLine(text);
}

}  // namespace ombrel
