#pragma once

#include <string>
#include <vector>

#include <QPlainTextEdit>

#include "core/document/Notes.h"

namespace ombrel {

class TReportText;

// The report of a results page: a read-only, scrollable, selectable line
// viewer in a fixed-pitch font that draws the report's bold, underline and
// italic markers as font styles. One text block per report line.
class TResultsViewer : public QPlainTextEdit {
  Q_OBJECT

 public:
  explicit TResultsViewer(QWidget* parent = nullptr);

  // Shows a finished report (none: every line reads "Text line #n").
  void AttachReport(const TReportText* report);
  int LineCount() const { return mLineCount; }
  // The display text of a line, markers removed; empty outside the report.
  QString GetLineText(int index) const;
  // Every line without markers, joined by line breaks.
  QString PlainText() const;

  // Copies the selection as plain text; with no selection, every line.
  void CopyToClipboard();
  void SelectAllLines();
  void ClearSelection();
  // The selected range; false when nothing is selected.
  bool Selection(TLineSelection& selection) const;
  // The displayed lines, Latin-1 as the report holds them.
  std::vector<std::string> Lines() const;
  void ScrollToTop();

  // Writes every line without markers, each ended by the system's line
  // end; false when the file could not be written.
  bool SaveToTextFile(const QString& fileName) const;

 signals:
  void AppendToNotesRequested();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const TReportText* mReport = nullptr;
  int mLineCount = 0;
};

// "Courier New" size 10 where installed, else the system's fixed-pitch font.
QFont ReportFont();

}  // namespace ombrel
