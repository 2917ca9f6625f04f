// A long, mixed session of a user on the main window, generated from a seed:
// typing, pasting, block commands, dialogs, choices, steps, reports, undo
// and redo, saving and reopening, several documents. After every command
// nothing may be lost: undoing everything gives back the data the document
// started with and redoing gives back the data before the undo, the
// document saved and reopened is the same, and no report shows "nan" or
// "inf". A failing session is shrunk to the shortest list of commands that
// still fails, printed with its seed.
//
// OMBREL_RANDOM_SEEDS (how many sessions), OMBREL_RANDOM_FIRST_SEED and
// OMBREL_RANDOM_COMMANDS (commands per session) set the size of the run;
// `make random-test` runs a long one.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>
#include <random>

#include "support/ShellTestSupport.h"
#include "core/base/Index.h"
#include "core/document/DataChange.h"
#include "core/document/DocumentFile.h"
#include "core/stats/ColumnStats.h"
#include "gui/app/MainWindow.h"
#include "gui/document/Analyze.h"
#include "gui/document/DocumentPage.h"
#include "gui/entry/SpreadGrid.h"

using namespace ombrel;

namespace {

enum class TKind {
  TypeCell,        // a: row, b: column, c: text
  TypeTitle,       // b: column, c: text
  Paste,           // a: row, b: column, c: block
  TransposePaste,  // a: row, b: column, c: block
  Block,           // a: selection, b: where, c: command
  Dialog,          // b: where, c: command (its dialog filled at random)
  Control,         // a: which control of the page, c: what to set
  Step,            // a: step
  UndoRedo,        // a: how many undos, b: how many redos
  SaveReopen,      // saves (asking for a name once), closes and opens again
  Window,          // a: new, next, duplicate, close, clear all
  Count,
};

struct TAction {
  TKind Kind;
  int A, B, C;
};

const char* const Texts[] = {"1",     "2.5",      "-3", "1,25", "1e5",  "0.0001",  "abc", "",
                             "1E+40", "12345678", "7",  "0",    "-0.5", "3.14159", " 4 ", "1.5E-38"};
const char* const Blocks[] = {
    "1\t2\r\n3\t4\r\n",
    "Dose\tResponse\r\n1\t2.5\r\n2\t3.5\r\n3\t8\r\n",
    "1,5\t2,25\r\n3,75\t4\r\n",
    "a\tb\tc\r\n1\t\t3\r\n",
    "5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n",
    "1\t2\t3\t4\t5\t6\t7\t8\r\n",
    "\r\n",
    "1e308\t-1e308\r\n",
};
constexpr TCommand BlockCommands[] = {TCommand::Cut,        TCommand::Copy,          TCommand::Clear,
                                      TCommand::Exclude,    TCommand::DeleteRows,    TCommand::DeleteColumns,
                                      TCommand::InsertRows, TCommand::InsertColumns, TCommand::Paste};
constexpr TCommand DialogCommands[] = {TCommand::InsertCells, TCommand::DeleteCells, TCommand::Transform,
                                       TCommand::CombineVariables, TCommand::NumberFormat};

std::string Describe(const TAction& a) {
  QString text;
  switch (a.Kind) {
    case TKind::TypeCell:
      return QStringLiteral("type \"%1\" into row %2, column %3").arg(Texts[a.C]).arg(a.A).arg(a.B).toStdString();
    case TKind::TypeTitle:
      return QStringLiteral("type title \"%1\" of column %2").arg(Texts[a.C]).arg(a.B).toStdString();
    case TKind::Paste:
    case TKind::TransposePaste:
      return QStringLiteral("%1 block %2 at row %3, column %4")
          .arg(a.Kind == TKind::Paste ? "paste" : "transpose paste")
          .arg(a.C)
          .arg(a.A)
          .arg(a.B)
          .toStdString();
    case TKind::Block:
      return QStringLiteral("select %1 at %2, run command %3")
          .arg(a.A)
          .arg(a.B)
          .arg(static_cast<int>(BlockCommands[a.C]))
          .toStdString();
    case TKind::Dialog:
      return QStringLiteral("at %1 run dialog command %2, filled from %3")
          .arg(a.B)
          .arg(static_cast<int>(DialogCommands[a.C]))
          .arg(a.A)
          .toStdString();
    case TKind::Control:
      return QStringLiteral("set control %1 of the page to %2").arg(a.A).arg(a.C).toStdString();
    case TKind::Step:
      return QStringLiteral("go to step %1").arg(a.A).toStdString();
    case TKind::UndoRedo:
      return QStringLiteral("undo %1 times, redo %2 times").arg(a.A).arg(a.B).toStdString();
    case TKind::SaveReopen:
      return "save, close and reopen";
    case TKind::Window:
      return QStringLiteral("window command %1 (new, next, duplicate, close, clear all)").arg(a.A).toStdString();
    case TKind::Count:
      break;
  }
  return {};
}

std::vector<TAction> Generate(std::uint32_t seed, int count) {
  std::mt19937 random(seed);
  const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<std::uint32_t>(n)); };
  // Typing and steps come most often, as in a user's session.
  constexpr int Weights[] = {8, 2, 3, 1, 4, 2, 5, 5, 2, 1, 1};
  std::vector<TAction> actions;
  for (int i = 0; i < count; ++i) {
    int roll = pick(34);
    int kind = 0;
    while (roll >= Weights[kind]) roll -= Weights[kind++];
    TAction a{static_cast<TKind>(kind), pick(12), pick(6), 0};
    switch (a.Kind) {
      case TKind::TypeCell:
      case TKind::TypeTitle:
        a.C = pick(static_cast<int>(std::size(Texts)));
        break;
      case TKind::Paste:
      case TKind::TransposePaste:
        a.C = pick(static_cast<int>(std::size(Blocks)));
        // Now and then over the table's edges.
        if (pick(6) == 0) a.B = 23 + pick(3);
        if (pick(8) == 0) a.A = 995 + pick(6);
        break;
      case TKind::Block:
        a.A = pick(4);
        a.C = pick(static_cast<int>(std::size(BlockCommands)));
        break;
      case TKind::Dialog:
        a.A = pick(1000);
        a.C = pick(static_cast<int>(std::size(DialogCommands)));
        break;
      case TKind::Control:
        a.A = pick(1000);
        a.C = pick(1000);
        break;
      case TKind::Step:
        a.A = pick(StepCount);
        break;
      case TKind::UndoRedo:
        a.A = pick(4);
        a.B = pick(4);
        break;
      case TKind::Window:
        a.A = pick(5);
        break;
      default:
        break;
    }
    actions.push_back(a);
  }
  return actions;
}

// The part of a document that undo restores, as the file would hold it.
std::string DataImage(const TDocument& document) {
  const TDataState state = CaptureDataState(document);
  auto copy = std::make_unique<TDocument>();
  copy->Table = state.Table;
  copy->TwoByTwo = state.TwoByTwo;
  copy->Format = state.Format;
  copy->Family = state.Family;
  copy->MeanIsSD = state.MeanIsSD;
  // Summaries of raw values are computed from them, and an analysis
  // unselects the columns without data, raw or averaged, which hold nothing
  // to lose: both are left out of the comparison (core/base's tests check that undo
  // gives summaries back with their values).
  // Which columns await a refresh is bookkeeping, not data: averaged
  // columns are left as typed.
  if (IsAveragedFormat(copy->Format)) {
    copy->Table.ColumnChanged.fill(0);
  } else {
    copy->Table.ColumnChanged.fill(1);
    RefreshColumnSummaries(copy->Table);
  }
  // XY data keeps the titles of X and the first Y only: entering its data
  // step drops the others, also where redo enters it again.
  if (copy->Format == TDataFormat::XY)
    for (int c = XYTitledColumns; c < MaxColumns; ++c) copy->Table.Summary(c).Title.clear();
  // An N of -1 marks an emptied column, 0 one never filled: both show nothing.
  for (int c = 0; c < MaxColumns; ++c) {
    copy->Table.Summary(c).N = std::max(copy->Table.Summary(c).N, std::int32_t{0});
    if (copy->Table.IsColumnEmpty(c) && !HoldsAveragedData(copy->Table.Summary(c)))
      copy->Table.ColumnSelected[At(c)] = 1;
  }
  return ComparableImage(*copy);
}

// The file image of a document as opening its file leaves it: decimals
// learnt from the values, the summaries of raw data recomputed, which also
// unselects empty columns, and averaged data taking typed means.
enum class TInMemory { No, Yes };
std::string SavedImage(const TDocument& document, TInMemory inMemory) {
  auto copy = std::make_unique<TDocument>(document);
  // Nor does it keep how many columns held data when the Test step was last
  // shown: reading counts the columns whose summary has an N.
  if (inMemory == TInMemory::Yes) {
    copy->Choices.LastColumnCount = 0;
    for (int c = 0; c < MaxColumns; ++c)
      if (copy->Table.Summary(c).N > 0) ++copy->Choices.LastColumnCount;
  }
  // A multiple-regression file keeps no number formats.
  if (copy->Format == TDataFormat::MultipleRegression) copy->Table.UserDecimals.fill(-1);
  // The file keeps no automatic decimals: they are learnt again from the
  // values read, as typing learns them.
  TDataTable& table = copy->Table;
  table.AutoDecimals.fill(0);
  for (int r = 0; r <= table.LastRow(); ++r)
    for (int c = 0; c <= table.LastColumn(); ++c)
      if (!IsEmpty(table.GetValue(r, c))) table.LearnImportedDecimals(c, table.GetValue(r, c));
  if (copy->Format == TDataFormat::Raw || copy->Format == TDataFormat::MultipleRegression ||
      copy->Format == TDataFormat::LargerTable) {
    copy->Table.ColumnChanged.fill(1);
    RefreshColumnSummaries(copy->Table);
  }
  if (IsAveragedFormat(copy->Format)) {
    copy->Table.MeanEntryColumn.fill(1);
    copy->Table.ColumnChanged.fill(0);
  }
  return ComparableImage(*copy);
}

// The number of the first line where two file images differ, with both lines.
QString FirstDifference(const std::string& a, const std::string& b) {
  const QStringList left = QString::fromStdString(a).split(QStringLiteral("\r\n"));
  const QStringList right = QString::fromStdString(b).split(QStringLiteral("\r\n"));
  qsizetype line = 0;
  while (line < left.size() && line < right.size() && left[line] == right[line]) ++line;
  return QStringLiteral("line %1, \"%2\" against \"%3\"").arg(line + 1).arg(left.value(line), right.value(line));
}

bool ShowsNotFinite(const std::string& text) {
  QString lower = QString::fromStdString(text).toLower();
  static const QRegularExpression word(QStringLiteral("\\b(nan|inf|infinity)\\b"));
  return word.match(lower).hasMatch();
}

// One session: a main window and the documents made in it.
class TSession {
 public:
  explicit TSession(QTemporaryDir& folder) : mFolder(folder) {
    // Every session starts from an empty clipboard, so that a seed fails
    // alike whether it runs alone or after others.
    QApplication::clipboard()->clear();
    mOptions = mFixture.Options();
    mWindow = std::make_unique<Obmain>(mOptions);
    mWindow->SetGuideShown(false);
    mWindow->SetGuideHandler([](TStep) {});
    mWindow->Start({});
    mStart.insert(Form(), DataImage(Form()->Document()));
    mWindow->show();
    QApplication::setActiveWindow(mWindow.get());
    mFixture.Asker.Dialog = [this](QDialog& dialog) { return FillDialog(dialog); };
    // Every dialog goes through the asker: a modal window that does not
    // would wait for a user forever.
    mWatchdog.setInterval(500);
    QObject::connect(&mWatchdog, &QTimer::timeout, [this] {
      if (QWidget* modal = QApplication::activeModalWidget()) {
        mModalFailure = QStringLiteral("a window opened outside the asker: %1").arg(modal->windowTitle());
        modal->close();
      }
    });
    mWatchdog.start();
  }

  // Runs the actions, checking after each; the first failure, or empty.
  QString Run(const std::vector<TAction>& actions) {
    for (std::size_t i = 0; i < actions.size(); ++i) {
      Do(actions[i]);
      const QString failure = Check();
      if (!failure.isEmpty()) return QStringLiteral("after command %1: %2").arg(i + 1).arg(failure);
    }
    return {};
  }

 private:
  Analyze* Form() const { return mWindow->ActiveDocument(); }

  TSpreadGrid* Grid() const {
    if (Form() == nullptr || Form()->CurrentPage() == nullptr) return nullptr;
    for (TSpreadGrid* grid : Form()->CurrentPage()->findChildren<TSpreadGrid*>())
      if (grid->isVisibleTo(Form())) return grid;
    return nullptr;
  }

  void Trigger(TCommand command) {
    if (QAction* action = mWindow->Action(command)) {
      mWindow->UpdateMenus();
      if (action->isEnabled()) action->trigger();
    } else {
      mWindow->RunPageCommand(command);
    }
  }

  // Keys go where the focus is, as a user's do; into `fallback` when the
  // window has none.
  static void Type(const QString& text, QWidget* fallback) {
    for (const QChar ch : text) {
      QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : fallback;
      QTest::keyClick(target, ch.toLatin1());
    }
  }

  void Select(TSpreadGrid& grid, int kind, int row, int column) {
    if (kind == 1)
      grid.SelectColumn(column + 1);
    else if (kind == 2)
      grid.SelectRow(row + 2);
    else if (kind == 3)
      grid.SetSelection({column + 1, row + 2, column + 2, row + 4});
    else
      grid.SetCurrentCell(column + 1, row + 2);
  }

  void Do(const TAction& a) {
    mFixture.Asker.YesNo = {a.C % 2 == 0};
    mFixture.Asker.YesNoCancel = {a.C % 3 == 0 ? TAnswer::Yes : TAnswer::No};
    mDialogSeed = static_cast<std::uint32_t>(a.A);
    TSpreadGrid* grid = Grid();
    switch (a.Kind) {
      case TKind::TypeCell:
        if (grid == nullptr) break;
        grid->setFocus();
        grid->SetCurrentCell(a.B + 1, a.A + 2);
        Type(QString::fromLatin1(Texts[a.C]), grid);
        QTest::keyClick(QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : grid, Qt::Key_Return);
        break;
      case TKind::TypeTitle:
        if (grid == nullptr) break;
        grid->OpenColumnTitleEditor(a.B);
        Type(QString::fromLatin1(Texts[a.C]), grid);
        Form()->CommitPendingEdit();
        break;
      case TKind::Paste:
      case TKind::TransposePaste:
        if (grid == nullptr) break;
        QApplication::clipboard()->setText(QString::fromLatin1(Blocks[a.C]));
        grid->SetCurrentCell(a.B + 1, a.A + 2);
        Trigger(a.Kind == TKind::Paste ? TCommand::Paste : TCommand::TransposePaste);
        break;
      case TKind::Block:
        if (grid == nullptr) break;
        Select(*grid, a.A, a.B, a.B);
        Trigger(BlockCommands[a.C]);
        break;
      case TKind::Dialog:
        if (grid == nullptr) break;
        Select(*grid, a.B % 4, a.B, a.B);
        Trigger(DialogCommands[a.C]);
        break;
      case TKind::Control:
        SetControl(a.A, a.C);
        break;
      case TKind::Step:
        Trigger(StepCommand(a.A));
        break;
      case TKind::UndoRedo:
        for (int i = 0; i < a.A; ++i) Trigger(TCommand::Undo);
        for (int i = 0; i < a.B; ++i) Trigger(TCommand::Redo);
        break;
      case TKind::SaveReopen:
        SaveAndReopen();
        break;
      case TKind::Window:
        WindowCommand(a.A);
        break;
      case TKind::Count:
        break;
    }
    mFixture.Asker.YesNo.clear();
    mFixture.Asker.YesNoCancel.clear();
    QCoreApplication::processEvents();
  }

  // Sets one radio button, check box or combo box of the visible page, as
  // the choices of the Test step, the data format and the graph options.
  void SetControl(int which, int value) {
    if (Form() == nullptr || Form()->CurrentPage() == nullptr) return;
    QList<QWidget*> controls;
    for (QWidget* widget : Form()->CurrentPage()->findChildren<QWidget*>()) {
      const bool control =
          qobject_cast<QRadioButton*>(widget) || qobject_cast<QCheckBox*>(widget) || qobject_cast<QComboBox*>(widget);
      if (control && widget->isVisibleTo(Form()) && widget->isEnabled()) controls << widget;
    }
    if (controls.isEmpty()) return;
    QWidget* widget = controls.at(which % controls.size());
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      if (combo->count() > 0) combo->setCurrentIndex(value % combo->count());
    } else {
      qobject_cast<QAbstractButton*>(widget)->click();
    }
  }

  // Fills a command's dialog at random and presses OK (now and then Cancel).
  int FillDialog(QDialog& dialog) {
    std::mt19937 random(mDialogSeed);
    const auto pick = [&random](int n) { return n <= 0 ? 0 : static_cast<int>(random() % static_cast<unsigned>(n)); };
    const QList<QRadioButton*> radios = dialog.findChildren<QRadioButton*>();
    if (!radios.isEmpty()) radios.at(pick(static_cast<int>(radios.size())))->click();
    for (QListWidget* list : dialog.findChildren<QListWidget*>())
      list->setCurrentRow(pick(static_cast<int>(list->count())));
    for (QComboBox* combo : dialog.findChildren<QComboBox*>())
      combo->setCurrentIndex(pick(static_cast<int>(combo->count())));
    for (QSpinBox* spin : dialog.findChildren<QSpinBox*>())
      spin->setValue(spin->minimum() + pick(std::min(spin->maximum() - spin->minimum() + 1, 20)));
    for (QLineEdit* field : dialog.findChildren<QLineEdit*>())
      if (field->isEnabled() && !field->isReadOnly()) field->setText(QString::fromLatin1(Texts[pick(16)]));
    if (pick(8) == 0) return QDialog::Rejected;
    if (auto* buttons = dialog.findChild<QDialogButtonBox*>())
      if (QAbstractButton* ok = buttons->button(QDialogButtonBox::Ok)) {
        ok->click();
        return dialog.result();
      }
    return QDialog::Accepted;
  }

  void SaveAndReopen() {
    Analyze* form = Form();
    if (form == nullptr) return;
    form->CommitPendingEdit();
    const std::string before = SavedImage(form->Document(), TInMemory::Yes);
    mFixture.Asker.SaveNames = {mFolder.filePath(QStringLiteral("doc%1.OMD").arg(++mSaved))};
    if (!mWindow->SaveCommand(false)) return;
    const QString path = form->FileName();
    mWindow->CloseCommand();
    if (mWindow->OpenFile(path) != Obmain::TOpenResult::Opened) {
      mReopenFailure = QStringLiteral("a saved document did not open again: %1").arg(path);
      return;
    }
    const std::string after = SavedImage(Form()->Document(), TInMemory::No);
    if (after != before)
      mReopenFailure = QStringLiteral("reopened, a document differs from what was saved: %1, %2")
                           .arg(path, FirstDifference(before, after));
  }

  void WindowCommand(int which) {
    switch (which) {
      case 0:
        if (mWindow->Documents().size() < 4) Trigger(TCommand::New);
        break;
      case 1:
        Trigger(TCommand::NextWindow);
        break;
      case 2:
        if (mWindow->Documents().size() < 4) Trigger(TCommand::Duplicate);
        break;
      case 3:
        // Closing without saving: the answer to "Save changes?" is No.
        if (mWindow->Documents().size() > 1) {
          mFixture.Asker.YesNoCancel = {TAnswer::No};
          mWindow->CloseCommand();
        }
        break;
      default:
        mFixture.Asker.YesNo = {true};
        mWindow->ClearAllCommand();
        break;
    }
    // A new document begins with the data it has now.
    for (Analyze* form : mWindow->Documents())
      if (!mStart.contains(form)) mStart.insert(form, DataImage(form->Document()));
  }

  QString Check() {
    if (!mReopenFailure.isEmpty()) return std::exchange(mReopenFailure, QString());
    if (!mModalFailure.isEmpty()) return std::exchange(mModalFailure, QString());
    for (Analyze* form : mWindow->Documents()) {
      const TDocument& document = form->Document();
      if (!document.ResultsStale && ShowsNotFinite(document.Report.Text()))
        return QStringLiteral("the report of %1 shows a value that is not a number").arg(form->Name());
      if (!mStart.contains(form) || form->UndoStack().count() == 0) mStart.insert(form, DataImage(form->Document()));
    }
    Analyze* form = Form();
    if (form == nullptr) return QStringLiteral("no document is open");
    form->CommitPendingEdit();
    // Saved and read again, the document is the same.
    const std::string image = SavedImage(form->Document(), TInMemory::Yes);
    const std::string path = mFolder.filePath(QStringLiteral("check.OMD")).toStdString();
    if (!SaveDocumentFile(path, form->Document()).Ok()) return QStringLiteral("the check could not save");
    auto reread = std::make_unique<TDocument>();
    if (!OpenDocumentFile(path, *reread).Ok()) return QStringLiteral("the saved document did not read back whole");
    if (const std::string again = SavedImage(*reread, TInMemory::No); again != image)
      return QStringLiteral("saved and read again, the document differs: format %1, %2")
          .arg(static_cast<int>(form->Document().Format))
          .arg(FirstDifference(image, again));
    // Undo back to the start, then redo to here.
    const std::string data = DataImage(form->Document());
    QUndoStack& stack = form->UndoStack();
    const int index = stack.index();
    while (stack.canUndo()) form->Undo();
    if (const std::string start = DataImage(form->Document()); start != mStart.value(form))
      return QStringLiteral("undoing everything did not give back the start: %1")
          .arg(FirstDifference(mStart.value(form), start));
    while (stack.index() < index) form->Redo();
    if (const std::string redone = DataImage(form->Document()); redone != data)
      return QStringLiteral("redoing did not give back the data: %1").arg(FirstDifference(data, redone));
    return {};
  }

  QTemporaryDir& mFolder;
  TShellFixture mFixture;
  TShellOptions mOptions;
  std::unique_ptr<Obmain> mWindow;
  QHash<Analyze*, std::string> mStart;
  std::uint32_t mDialogSeed = 0;
  int mSaved = 0;
  QString mReopenFailure;
  QString mModalFailure;
  QTimer mWatchdog;
};

QString RunSession(const std::vector<TAction>& actions) {
  QTemporaryDir folder;
  TSession session(folder);
  return session.Run(actions);
}

// What failed, without the command's number.
QString Reason(const QString& failure) { return failure.section(QStringLiteral(": "), 1, 1); }

// The shortest list found that still fails the same way: whole chunks left out while
// the failure stays, halving the chunk down to single commands.
std::vector<TAction> Shrink(std::vector<TAction> actions, const QString& reason) {
  for (std::size_t chunk = actions.size() / 2; chunk >= 1; chunk /= 2) {
    for (std::size_t start = 0; start < actions.size();) {
      std::vector<TAction> shorter = actions;
      shorter.erase(shorter.begin() + static_cast<std::ptrdiff_t>(start),
                    shorter.begin() + static_cast<std::ptrdiff_t>(std::min(actions.size(), start + chunk)));
      if (Reason(RunSession(shorter)) == reason)
        actions = std::move(shorter);
      else
        start += chunk;
    }
  }
  return actions;
}

int Setting(const char* name, int fallback) {
  bool ok = false;
  const int value = qEnvironmentVariableIntValue(name, &ok);
  return ok && value > 0 ? value : fallback;
}

}  // namespace

class RandomSessionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  // Sessions that once failed, shrunk; each stays mended.
  void SessionsThatOnceFailed_data() {
    QTest::addColumn<int>("index");
    QTest::newRow("a typed XY title past the first Y, lost by redo") << 0;
    QTest::newRow("a grid's message outside the asker") << 1;
    QTest::newRow("17 decimals saved, 15 read") << 2;
    QTest::newRow("an N typed for a raw column without values") << 3;
    QTest::newRow("a column inserted after reopening") << 4;
    QTest::newRow("a larger table's count saved before it caught up") << 5;
    QTest::newRow("an XY title combined into a later column") << 6;
    QTest::newRow("undo after reopening and a format change") << 7;
    QTest::newRow("undo after reopening and a typed value") << 8;
    QTest::newRow("redo after clear all and a format change") << 9;
    QTest::newRow("redo after choosing mean, SD and N") << 10;
    QTest::newRow("redo after inserting rows and a format change") << 11;
    QTest::newRow("redo after clearing and a format change") << 12;
    QTest::newRow("decimals after a number format and a format change") << 13;
    QTest::newRow("undo of raw data after a typed N") << 14;
  }
  void SessionsThatOnceFailed() {
    QFETCH(int, index);
    const std::vector<TAction> sessions[] = {
        {{TKind::Step, 0, 0, 0}, {TKind::Control, 199, 0, 395}, {TKind::Step, 1, 0, 0}, {TKind::TypeTitle, 0, 5, 9}},
        {{TKind::Step, 1, 0, 0}, {TKind::SaveReopen, 0, 0, 0}, {TKind::TypeCell, 0, 4, 3}},
        {{TKind::Step, 1, 0, 0}, {TKind::Dialog, 176, 2, 4}},
        {{TKind::Step, 2, 0, 0}, {TKind::TypeCell, 2, 0, 3}},
        {{TKind::SaveReopen, 0, 0, 0},
         {TKind::Block, 0, 5, 7},
         {TKind::TypeCell, 7, 5, 10},
         {TKind::TypeCell, 2, 3, 11}},
        {{TKind::Control, 272, 0, 856},
         {TKind::Control, 824, 0, 381},
         {TKind::Window, 2, 0, 0},
         {TKind::TypeCell, 4, 3, 13}},
        {{TKind::Control, 841, 0, 467},
         {TKind::SaveReopen, 0, 0, 0},
         {TKind::TypeCell, 10, 1, 12},
         {TKind::Dialog, 554, 5, 3},
         {TKind::Step, 4, 0, 0},
         {TKind::SaveReopen, 0, 0, 0}},
        {{TKind::Control, 124, 0, 886},
         {TKind::Control, 407, 0, 694},
         {TKind::SaveReopen, 0, 0, 0},
         {TKind::Step, 0, 0, 0},
         {TKind::Control, 57, 0, 563},
         {TKind::Step, 3, 0, 0}},
        {{TKind::Control, 365, 0, 316},
         {TKind::SaveReopen, 0, 0, 0},
         {TKind::TypeCell, 2, 0, 4},
         {TKind::Step, 5, 0, 0}},
        {{TKind::Control, 751, 0, 327},
         {TKind::Control, 544, 0, 324},
         {TKind::Window, 4, 0, 0},
         {TKind::Control, 803, 0, 527},
         {TKind::Step, 4, 0, 0}},
        {{TKind::Control, 32, 0, 538},
         {TKind::Control, 155, 0, 392},
         {TKind::Control, 784, 0, 54},
         {TKind::Step, 4, 0, 0}},
        {{TKind::Step, 1, 0, 0},
         {TKind::Block, 2, 1, 6},
         {TKind::Step, 0, 0, 0},
         {TKind::Control, 682, 0, 490},
         {TKind::Step, 3, 0, 0}},
        {{TKind::Step, 1, 0, 0},
         {TKind::Block, 0, 4, 2},
         {TKind::Step, 0, 0, 0},
         {TKind::Control, 868, 0, 719},
         {TKind::Step, 4, 0, 0}},
        {{TKind::SaveReopen, 0, 0, 0},
         {TKind::Paste, 4, 0, 1},
         {TKind::TypeCell, 7, 1, 5},
         {TKind::Dialog, 492, 2, 4},
         {TKind::Step, 0, 0, 0},
         {TKind::Control, 957, 0, 980},
         {TKind::Control, 684, 0, 136}},
        {{TKind::Control, 797, 0, 126},
         {TKind::SaveReopen, 0, 0, 0},
         {TKind::TypeCell, 2, 3, 9},
         {TKind::SaveReopen, 0, 0, 0},
         {TKind::Step, 0, 0, 0},
         {TKind::Control, 500, 0, 971},
         {TKind::Control, 40, 0, 668},
         {TKind::Step, 3, 0, 0}},
    };
    const QString failure = RunSession(sessions[index]);
    QVERIFY2(failure.isEmpty(), qPrintable(failure));
  }

  // A long run (OMBREL_RANDOM_KEEP_GOING set) goes on after a failure, and
  // names every failing seed at the end.
  void NothingIsLostInARandomSession() {
    const int seeds = Setting("OMBREL_RANDOM_SEEDS", 100);
    const int first = Setting("OMBREL_RANDOM_FIRST_SEED", 1);
    const int commands = Setting("OMBREL_RANDOM_COMMANDS", 60);
    const bool keepGoing = qEnvironmentVariableIsSet("OMBREL_RANDOM_KEEP_GOING");
    QStringList failures;
    for (int seed = first; seed < first + seeds; ++seed) {
      const std::vector<TAction> actions = Generate(static_cast<std::uint32_t>(seed), commands);
      const QString failure = RunSession(actions);
      if (failure.isEmpty()) continue;
      // A long run shrinks its first few failures only.
      if (keepGoing && failures.size() >= 5) {
        failures << QStringLiteral("seed %1: %2").arg(seed).arg(failure);
        qWarning("%s", qPrintable(failures.last()));
        continue;
      }
      const std::vector<TAction> shortest = Shrink(actions, Reason(failure));
      QString report = QStringLiteral("seed %1: %2\nshortest list that fails (%3):")
                           .arg(seed)
                           .arg(failure)
                           .arg(RunSession(shortest));
      for (const TAction& action : shortest)
        report += QStringLiteral("\n  ") + QString::fromStdString(Describe(action));
      if (!keepGoing) QFAIL(qPrintable(report));
      qWarning("%s", qPrintable(report));
      failures << report;
    }
    qInfo("%d sessions of %d commands, %lld failed", seeds, commands, static_cast<long long>(failures.size()));
    QVERIFY2(failures.isEmpty(), qPrintable(failures.join(QStringLiteral("\n"))));
  }
};

QTEST_MAIN(RandomSessionTest)
#include "RandomSessionTest.moc"
