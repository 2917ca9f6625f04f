#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>
#include <functional>
#include <memory>

#include "core/document/DataChange.h"
#include "core/shell/FormatPageText.h"
#include "gui/app/MainWindow.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/SummaryPage.h"
#include "gui/document/UndoHistory.h"
#include "gui/entry/BlockForms.h"
#include "gui/entry/ImportExportForms.h"
#include "gui/entry/OBIntEdit.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TitleFields.h"
#include "gui/entry/TransformForm.h"
#include "support/PageTestSupport.h"

using namespace ombrel;

namespace {

bool SameData(const TDataState& a, const TDataState& b) {
  return a.Table == b.Table && a.TwoByTwo == b.TwoByTwo && a.Format == b.Format && a.Family == b.Family &&
         a.MeanIsSD == b.MeanIsSD;
}

void Type(const QString& text) {
  for (const QChar character : text) QTest::keyClick(QApplication::focusWidget(), character.toLatin1());
}

}  // namespace

class UndoTest;

// One data-changing action of the user, done on a document of raw values
// in rows 1 to 6 of columns A to C (unless the row says otherwise).
struct TUndoCase {
  const char* Row;
  const char* Action;  // the undo step's name
  TDataFormat Format;
  TStep Step;
  std::function<void(UndoTest&)> Run;
  std::function<void(TDocument&)> Prepare = nullptr;  // as saved, before the action
};

// Undo and redo of the data changes of a document window.
class UndoTest : public QObject {
  Q_OBJECT

 public:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;
  QTemporaryDir mFolder;

  TDataEntryPage& Entry() const { return *qobject_cast<TDataEntryPage*>(mForm->Page(TStep::DataEntry)); }
  TSpreadGrid& Grid() const { return *Entry().RawDataGrid; }
  TDataState State() const { return CaptureDataState(mForm->Document()); }
  // Runs a command whose dialog `answer` fills in and accepts.
  void RunWithDialog(TCommand command, std::function<void(QDialog&)> answer) {
    mHost->Questions.Dialog = [answer](QDialog& dialog) {
      answer(dialog);
      return int(QDialog::Accepted);
    };
    QVERIFY(mForm->RunCommand(command));
  }
  void TypeIntoCell(TSpreadGrid& grid, int gridColumn, int gridRow, const QString& text) {
    grid.setFocus();
    grid.SetCurrentCell(gridColumn, gridRow);
    Type(text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  }
  // A document of `format` on `step`, as the user would have it after saving.
  void Open(TDataFormat format, TStep step, const std::function<void(TDocument&)>& prepare = nullptr) {
    mHost = std::make_unique<TTestHost>();
    auto document = std::make_unique<TDocument>();
    document->Format = format;
    document->Family = FamilyOfFormat(format);
    if (format == TDataFormat::Raw) Fill(*document, {0, 1, 2}, 6);
    if (prepare) prepare(*document);
    mForm = ShowDocumentWindow(*mHost, std::move(document));
    QVERIFY(QTest::qWaitForWindowActive(mForm.get()));
    mForm->GoToStep(step);
    mForm->SetFileName(mFolder.filePath(QStringLiteral("saved.omd")));
  }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }
  void cleanup() {
    mForm.reset();
    mHost.reset();
  }

  void UndoRestoresEachCommandExactly_data();
  void UndoRestoresEachCommandExactly();
  void UndoToTheSavedStateIsUnmodified();
  void MenuItemsNameTheStep();
  void StackDropsItsOldestSteps_data();
  void StackDropsItsOldestSteps();
};

namespace {

const TUndoCase UndoCases[] = {
    {"typed cell", "Typing", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) { t.TypeIntoCell(t.Grid(), 2, 3, QStringLiteral("42.5")); }},
    {"typed column title", "Typing", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().OpenColumnTitleEditor(1);
       Type(QStringLiteral("Dose"));
       t.mForm->CommitPendingEdit();
     }},
    {"typed row title", "Typing", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().OpenRowTitleEditor(2);
       Type(QStringLiteral("rat"));
       t.mForm->CommitPendingEdit();
     }},
    {"typed data set title", "Typing", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Entry().DataSetTitle->setFocus();
       QTest::keyClicks(t.Entry().DataSetTitle, QStringLiteral("Trial"));
       QTest::keyClick(t.Entry().DataSetTitle, Qt::Key_Return);
     }},
    {"typed mean on the summary grid", "Typing", TDataFormat::MeanSdN, TStep::ColumnStats,
     [](UndoTest& t) {
       auto& page = *qobject_cast<TSummaryPage*>(t.mForm->Page(TStep::ColumnStats));
       t.TypeIntoCell(*page.StatDataGrid, 1, 2, QStringLiteral("12"));
     }},
    {"2x2 cell", "Typing", TDataFormat::TwoByTwo, TStep::DataEntry,
     [](UndoTest& t) {
       t.Entry().TwoByTwoA->setFocus();
       QTest::keyClicks(t.Entry().TwoByTwoA, QStringLiteral("7"));
       t.mForm->CommitPendingEdit();
     }},
    {"paste", "Paste", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       QApplication::clipboard()->setText(QStringLiteral("1\t2\r\n3\t4\r\n"));
       t.Grid().SetCurrentCell(2, 6);
       t.mForm->RunCommand(TCommand::Paste);
     }},
    {"transpose paste", "Transpose Paste", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       QApplication::clipboard()->setText(QStringLiteral("1\t2\t3\r\n"));
       t.Grid().SetCurrentCell(4, 2);
       t.mForm->RunCommand(TCommand::TransposePaste);
     }},
    {"cut", "Cut", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SelectColumn(2);
       t.mHost->Questions.YesNoCancel.push_back(TAnswer::No);  // no column titles
       t.mForm->RunCommand(TCommand::Cut);
     }},
    {"clear", "Clear", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SelectColumn(1);
       t.mForm->RunCommand(TCommand::Clear);
     }},
    {"exclude", "Exclude", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SelectColumn(3);
       t.mForm->RunCommand(TCommand::Exclude);
     }},
    {"include", "Include", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SelectColumn(3);
       t.mForm->RunCommand(TCommand::Exclude);
     },
     [](TDocument& document) {
       for (int r = 0; r < 6; ++r) document.Table.SetExcluded(r, 2, true);
     }},
    {"insert cells", "Insert", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SetCurrentCell(2, 3);
       t.RunWithDialog(TCommand::InsertCells, [](QDialog& dialog) {
         dialog.findChild<QRadioButton*>(QStringLiteral("InsertEntireRowRadioButton"))->click();
       });
     }},
    {"delete cells", "Delete", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SetCurrentCell(1, 3);
       t.RunWithDialog(TCommand::DeleteCells, [](QDialog& dialog) {
         dialog.findChild<QRadioButton*>(QStringLiteral("DeleteEntireColRadioButton"))->click();
       });
     }},
    {"delete whole rows", "Delete", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SelectRow(2);
       t.mForm->RunCommand(TCommand::DeleteRows);
     }},
    {"insert whole columns", "Insert", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SelectColumn(1);
       t.mForm->RunCommand(TCommand::InsertColumns);
     }},
    {"transform", "Transform", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SelectColumn(1);
       t.RunWithDialog(TCommand::Transform, [](QDialog& dialog) {
         auto& form = dynamic_cast<TTransformForm&>(dialog);
         form.TransformComboBox->setCurrentRow(14);  // Y=Y+K
         form.KField->setText(QStringLiteral("2.5"));
       });
     }},
    {"combine variables", "Combine Variables", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SetCurrentCell(4, 2);
       t.RunWithDialog(TCommand::CombineVariables, [](QDialog&) {});
     }},
    {"number format", "Number Format", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       t.Grid().SelectColumn(1);
       t.RunWithDialog(TCommand::NumberFormat,
                       [](QDialog& dialog) { dynamic_cast<TNumberFormatForm&>(dialog).NumDecField->setValue(4); });
     }},
    {"import", "Import", TDataFormat::Raw, TStep::DataEntry,
     [](UndoTest& t) {
       QFile file(t.mFolder.filePath(QStringLiteral("body.csv")));
       QVERIFY(file.open(QIODevice::WriteOnly));
       file.write("Weight,Height\r\n70,1.8\r\n82.5,1.75\r\n");
       file.close();
       t.mHost->Questions.OpenNames.push_back(file.fileName());
       t.Grid().SetCurrentCell(2, 4);
       t.RunWithDialog(TCommand::Import, [](QDialog&) {});
     }},
    {"data format", "Data Format", TDataFormat::Raw, TStep::DataFormat,
     [](UndoTest& t) {
       const std::string_view caption = FamilyCaption(TTestFamily::Regression);
       const QString regression = QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size()));
       for (QRadioButton* radio : t.mForm->Page(TStep::DataFormat)->findChildren<QRadioButton*>())
         if (radio->text() == regression) radio->click();
     }},
    {"clear all", "Clear All", TDataFormat::Raw, TStep::DataEntry, [](UndoTest& t) { t.mForm->ResetDocument(); }},
};

}  // namespace

void UndoTest::UndoRestoresEachCommandExactly_data() {
  QTest::addColumn<int>("index");
  for (int i = 0; i < static_cast<int>(std::size(UndoCases)); ++i) QTest::newRow(UndoCases[i].Row) << i;
}

void UndoTest::UndoRestoresEachCommandExactly() {
  QFETCH(int, index);
  const TUndoCase& row = UndoCases[index];
  Open(row.Format, row.Step, row.Prepare);
  const TDataState before = State();
  row.Run(*this);
  const TDataState after = State();
  QVERIFY2(!SameData(before, after), "the action changed nothing");
  QCOMPARE(mForm->UndoStack().count(), 1);
  QCOMPARE(mForm->UndoStack().undoText(), QString::fromLatin1(row.Action));

  mForm->Document().ResultsStale = false;
  const int changes = mHost->StateChanges;
  mForm->Undo();
  QVERIFY(SameData(State(), before));
  QVERIFY(mForm->Document().ResultsStale);
  QVERIFY(mHost->StateChanges > changes);
  mForm->Redo();
  QVERIFY(SameData(State(), after));
}

void UndoTest::UndoToTheSavedStateIsUnmodified() {
  Open(TDataFormat::Raw, TStep::DataEntry);
  QVERIFY(!mForm->HasUnsavedChanges());
  QApplication::clipboard()->setText(QStringLiteral("5\r\n"));
  mForm->RunCommand(TCommand::Paste);
  QVERIFY(mForm->HasUnsavedChanges());
  QVERIFY(mForm->isWindowModified());
  mForm->Undo();
  QVERIFY(!mForm->HasUnsavedChanges());
  QVERIFY(!mForm->isWindowModified());
  mForm->Redo();
  QVERIFY(mForm->HasUnsavedChanges());
  // What the stack does not hold still counts.
  mForm->Undo();
  mForm->Document().Notes = "seen";
  QVERIFY(mForm->HasUnsavedChanges());
}

void UndoTest::MenuItemsNameTheStep() {
  TShellFixture fixture;
  Obmain window(fixture.Options());
  window.Start({});
  window.GoToStep(TStep::DataEntry);
  QAction* undo = window.Action(TCommand::Undo);
  QAction* redo = window.Action(TCommand::Redo);
  QVERIFY(!undo->isEnabled());
  QApplication::clipboard()->setText(QStringLiteral("5\r\n"));
  window.RunPageCommand(TCommand::Paste);
  QCOMPARE(undo->text(), QStringLiteral("&Undo Paste"));
  QVERIFY(undo->isEnabled());
  QVERIFY(window.ActiveDocument()->isWindowModified());
  undo->trigger();
  QCOMPARE(undo->text(), QStringLiteral("&Undo"));
  QVERIFY(!undo->isEnabled());
  QCOMPARE(redo->text(), QStringLiteral("&Redo Paste"));
  QVERIFY(!window.ActiveDocument()->isWindowModified());
  redo->trigger();
  fixture.Asker.YesNo.push_back(true);
  window.ClearAllCommand();
  QCOMPARE(undo->text(), QStringLiteral("&Undo Clear All"));
  QVERIFY(!redo->isEnabled());
}

void UndoTest::StackDropsItsOldestSteps_data() {
  QTest::addColumn<int>("steps");
  QTest::addColumn<qulonglong>("bytes");
  QTest::addColumn<int>("kept");  // -1: fewer than all
  QTest::newRow("by count") << 3 << qulonglong{TUndoHistory::DefaultMemoryLimit} << 3;
  // One step holds a thousand cells of column A, some 60 kB.
  QTest::newRow("by memory") << 100 << qulonglong{150'000} << -1;
}

void UndoTest::StackDropsItsOldestSteps() {
  QFETCH(int, steps);
  QFETCH(qulonglong, bytes);
  QFETCH(int, kept);
  Open(TDataFormat::Raw, TStep::DataEntry);
  mForm->History().SetLimits(steps, bytes);
  constexpr int Pastes = 5;
  std::vector<TDataState> states{State()};
  for (int i = 1; i <= Pastes; ++i) {
    QApplication::clipboard()->setText(QString(QStringLiteral("%1\r\n")).arg(i).repeated(1000));
    Grid().SetCurrentCell(1, 2);
    mForm->RunCommand(TCommand::Paste);
    states.push_back(State());
    if (i == Pastes - 1) mForm->SetFileName(mFolder.filePath(QStringLiteral("saved.omd")));
  }
  const int count = mForm->UndoStack().count();
  if (kept >= 0) QCOMPARE(count, kept);
  QVERIFY(count >= 1 && count < Pastes);
  QVERIFY(mForm->History().MemoryUsed() <= bytes);
  for (int k = 1; k <= count; ++k) {
    mForm->Undo();
    QVERIFY(SameData(State(), states[static_cast<std::size_t>(Pastes - k)]));
    // The state saved before the last paste stays the clean one while older steps go.
    QCOMPARE(mForm->HasUnsavedChanges(), k != 1);
  }
  QVERIFY(!mForm->UndoStack().canUndo());
}

QTEST_MAIN(UndoTest)
#include "UndoTest.moc"
