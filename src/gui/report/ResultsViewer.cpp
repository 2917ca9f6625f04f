#include "gui/report/ResultsViewer.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <memory>

#include "core/report/ReportHtml.h"
#include "core/report/ReportLines.h"
#include "core/report/ReportText.h"
#include "gui/common/LocalPath.h"
#include "gui/common/CoreText.h"
#include "gui/common/TextScale.h"

namespace ombrel {

namespace {

constexpr int ReportPoints = 10;

QString FromReport(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

QTextCharFormat FormatOf(std::uint8_t attributes) {
  QTextCharFormat format;
  format.setFontWeight((attributes & BoldAttribute) != 0 ? QFont::Bold : QFont::Normal);
  format.setFontUnderline((attributes & UnderlineAttribute) != 0);
  format.setFontItalic((attributes & ItalicAttribute) != 0);
  return format;
}

}  // namespace

QFont ReportFont() {
  const QString courier = QStringLiteral("Courier New");
  QFont font = QFontDatabase::families().contains(courier) ? QFont(courier)
                                                           : QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setStyleHint(QFont::TypeWriter);
  font.setPointSize(ReportPoints);
  return font;
}

TResultsViewer::TResultsViewer(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setLineWrapMode(QPlainTextEdit::NoWrap);
  FollowTextScale(this, [this] { setFont(ScaledFont(ReportFont(), ReportPoints, false)); });
  setAccessibleName(QStringLiteral("Results"));
  setAccessibleDescription(QStringLiteral("The report of the analysis; the arrow keys read it line by line."));
  setContextMenuPolicy(Qt::DefaultContextMenu);
}

void TResultsViewer::AttachReport(const TReportText* report) {
  mReport = report;
  mLineCount = report != nullptr ? report->LineCount() : 0;
  clear();
  QTextCursor cursor(document());
  cursor.beginEditBlock();
  for (int i = 0; i < mLineCount; ++i) {
    const auto line = ombrel::GetLineText(report, i);
    if (!line) break;
    if (i > 0) cursor.insertBlock();
    if (!line->HasAttributes) {
      cursor.insertText(FromReport(line->Text), FormatOf(0));
      continue;
    }
    // Runs of equal attributes.
    std::size_t start = 0;
    for (std::size_t k = 1; k <= line->Text.size(); ++k) {
      if (k < line->Text.size() && line->Attributes[k] == line->Attributes[start]) continue;
      cursor.insertText(FromReport(line->Text.substr(start, k - start)), FormatOf(line->Attributes[start]));
      start = k;
    }
  }
  cursor.endEditBlock();
  ScrollToTop();
}

QString TResultsViewer::GetLineText(int index) const {
  const auto line = ombrel::GetLineText(mReport, index);
  if (!line) return {};
  return FromReport(line->Text);
}

QString TResultsViewer::PlainText() const { return toPlainText(); }

// Plain text and, so that a word processor takes headings, paragraphs and
// tables with their bold, underline and italic, the same part of the report
// as HTML.
void TResultsViewer::CopyToClipboard() {
  auto mime = std::make_unique<QMimeData>();
  TLineSelection selection;
  const bool selected = Selection(selection);
  mime->setText(selected ? textCursor().selection().toPlainText() : PlainText());
  if (mReport != nullptr) {
    const std::string html = selected ? ReportHtmlContent(*mReport, {selection.StartLine, selection.StartColumn,
                                                                     selection.EndLine, selection.EndColumn})
                                      : ReportHtmlContent(*mReport);
    mime->setHtml(FromCore(html));
  }
  QApplication::clipboard()->setMimeData(mime.release());
}

void TResultsViewer::SelectAllLines() { selectAll(); }

void TResultsViewer::ClearSelection() {
  QTextCursor cursor = textCursor();
  cursor.clearSelection();
  setTextCursor(cursor);
}

bool TResultsViewer::Selection(TLineSelection& selection) const {
  const QTextCursor cursor = textCursor();
  if (!cursor.hasSelection()) return false;
  const QTextBlock first = document()->findBlock(cursor.selectionStart());
  const QTextBlock last = document()->findBlock(cursor.selectionEnd());
  selection.StartLine = first.blockNumber();
  selection.StartColumn = cursor.selectionStart() - first.position();
  selection.EndLine = last.blockNumber();
  selection.EndColumn = cursor.selectionEnd() - last.position();
  return true;
}

std::vector<std::string> TResultsViewer::Lines() const {
  std::vector<std::string> lines;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
    lines.push_back(block.text().toLatin1().toStdString());
  if (mLineCount == 0) lines.clear();
  return lines;
}

void TResultsViewer::ScrollToTop() {
  moveCursor(QTextCursor::Start);
  verticalScrollBar()->setValue(0);
  horizontalScrollBar()->setValue(0);
  viewport()->update();
}

bool TResultsViewer::SaveToTextFile(const QString& fileName) const {
  if (mReport == nullptr) return false;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool saved = SaveReportToTextFile(*mReport, LocalPath(fileName));
  QApplication::restoreOverrideCursor();
  return saved;
}

void TResultsViewer::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  QAction* copy = menu.addAction(QStringLiteral("&Copy"));
  copy->setShortcut(QKeySequence::Copy);
  QAction* append = menu.addAction(QStringLiteral("Append to Notes"));
  menu.addSeparator();
  QAction* all = menu.addAction(QStringLiteral("&Select All"));
  all->setShortcut(QKeySequence::SelectAll);
  QAction* chosen = menu.exec(event->globalPos());
  if (chosen == copy) {
    CopyToClipboard();
  } else if (chosen == append) {
    emit AppendToNotesRequested();
  } else if (chosen == all) {
    SelectAllLines();
  }
}

void TResultsViewer::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Copy)) {
    CopyToClipboard();
    return;
  }
  QPlainTextEdit::keyPressEvent(event);
}

}  // namespace ombrel
