#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QSpinBox>
#include <QUndoStack>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "core/shell/ShellRules.h"
#include "gui/document/Analyze.h"
#include "gui/document/BlockCommands.h"
#include "gui/document/DataEntryPage.h"
#include "gui/document/GridPopupMenu.h"
#include "gui/entry/BlockForms.h"
#include "gui/entry/SpreadGrid.h"

using namespace ombrel;

Q_DECLARE_METATYPE(TBlockShift)

// The insert, delete and number-format commands of the data table page,
// through their dialogs.
class BlockCommandsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;
  TDataEntryPage* mPage = nullptr;

  TDataTable& Table() const { return mForm->Document().Table; }
  TSpreadGrid& Grid() const { return *mPage->RawDataGrid; }
  QString Shown(int dataRow, int dataColumn) const {
    return Grid().model()->index(dataRow, dataColumn).data().toString().trimmed();
  }
  // Answers the next dialog by clicking `choice` and OK, and keeps its type.
  void AnswerWith(const char* choice) {
    const QString name = QString::fromLatin1(choice);
    mHost->Questions.Dialog = [this, name](QDialog& dialog) {
      mDialogs << QString::fromLatin1(dialog.metaObject()->className());
      auto* radio = dialog.findChild<QRadioButton*>(name);
      if (radio == nullptr) return int(QDialog::Rejected);
      radio->click();
      return int(QDialog::Accepted);
    };
  }
  QStringList mDialogs;

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void init() {
    mDialogs.clear();
    mHost = std::make_unique<TTestHost>();
    mForm = ShowDocumentWindow(*mHost, std::make_unique<TDocument>());
    QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
    mForm->Document().Format = TDataFormat::Raw;
    // Values 10c + r² + 1 in rows 0..5 of columns A to C.
    Fill(mForm->Document(), {0, 1, 2}, 6);
    mForm->GoToStep(TStep::DataEntry);
    mPage = qobject_cast<TDataEntryPage*>(mForm->Page(TStep::DataEntry));
    QVERIFY(mPage != nullptr);
    mForm->Document().ResultsStale = false;
  }

  void cleanup() {
    mForm.reset();
    mHost.reset();
  }

  void DeleteDialogShiftsAsChosen_data() {
    QTest::addColumn<QString>("choice");
    QTest::addColumn<QString>("a2");  // what rows 2 of A and B show afterwards
    QTest::addColumn<QString>("b2");
    QTest::addColumn<QString>("b0");
    QTest::newRow("shift cells up") << "DeleteAndShiftRadioButton"
                                    << "5"
                                    << "27"
                                    << "11";
    QTest::newRow("entire rows") << "DeleteEntireRowRadioButton"
                                 << "17"
                                 << "27"
                                 << "11";
    QTest::newRow("entire columns") << "DeleteEntireColRadioButton"
                                    << "5"
                                    << ""
                                    << "";
  }
  void DeleteDialogShiftsAsChosen() {
    QFETCH(QString, choice);
    QFETCH(QString, a2);
    QFETCH(QString, b2);
    QFETCH(QString, b0);
    // B3:B4 selected; C is the last filled column, so deleting B's column
    // moves C into B and leaves nothing from column C on.
    Grid().SetSelection(TGridRect{2, 4, 2, 5});
    AnswerWith(choice.toLatin1().constData());
    QVERIFY(mForm->RunCommand(TCommand::DeleteCells));
    QCOMPARE(mDialogs, QStringList{QStringLiteral("ombrel::TDeleteForm")});
    QCOMPARE(Shown(2, 0), a2);
    if (choice == QLatin1String("DeleteEntireColRadioButton")) {
      QCOMPARE(Shown(2, 1), QStringLiteral("25"));  // column C's value of row 2
      QCOMPARE(Shown(0, 2), b0);
    } else {
      QCOMPARE(Shown(2, 1), b2);
      QCOMPARE(Shown(0, 1), b0);
      QCOMPARE(Shown(4, 1), QString());
    }
    QVERIFY(mForm->Document().ResultsStale);
  }

  void CancelLeavesTheTableAlone() {
    const TDataTable before = Table();
    Grid().SetSelection(TGridRect{1, 2, 1, 3});
    mHost->Questions.Dialog = nullptr;
    QVERIFY(mForm->RunCommand(TCommand::InsertCells));
    QVERIFY(mForm->RunCommand(TCommand::DeleteCells));
    for (int r = 0; r < 8; ++r)
      for (int c = 0; c < 4; ++c) QCOMPARE(Table().GetValue(r, c), before.GetValue(r, c));
    QVERIFY(!mForm->Document().ResultsStale);
  }

  void EditMenuInsertAlwaysAsks() {
    // Whole rows from the Edit menu still open "Insert ".
    Grid().SelectRow(3);
    AnswerWith("InsertEntireRowRadioButton");
    QVERIFY(mForm->RunCommand(TCommand::InsertCells));
    QCOMPARE(mDialogs.size(), 1);
    QVERIFY(Table().IsRowEmpty(1));
    QCOMPARE(Table().GetValue(2, 0), TReal(2));
    QCOMPARE(Shown(2, 0), QStringLiteral("2"));
  }

  void WholeRowsAndColumnsGoAtOnce_data() {
    QTest::addColumn<bool>("editMenu");  // else the grid's menu
    QTest::addColumn<bool>("insert");
    QTest::addColumn<bool>("columns");
    QTest::addColumn<int>("emptyRow");     // a row left empty, or -1
    QTest::addColumn<int>("emptyColumn");  // a column left empty, or -1
    QTest::newRow("insert rows") << false << true << false << 1 << -1;
    QTest::newRow("delete rows") << false << false << false << 5 << -1;
    QTest::newRow("insert columns") << false << true << true << -1 << 1;
    QTest::newRow("delete columns") << false << false << true << -1 << 2;
    // Delete cells is one command whichever menu runs it.
    QTest::newRow("Edit menu: delete rows") << true << false << false << 5 << -1;
    QTest::newRow("Edit menu: delete columns") << true << false << true << -1 << 2;
  }
  void WholeRowsAndColumnsGoAtOnce() {
    QFETCH(bool, editMenu);
    QFETCH(bool, insert);
    QFETCH(bool, columns);
    QFETCH(int, emptyRow);
    QFETCH(int, emptyColumn);
    if (columns)
      Grid().SelectColumn(2);
    else
      Grid().SelectRow(3);
    mHost->Questions.Dialog = [this](QDialog&) {
      mDialogs << QStringLiteral("unexpected");
      return int(QDialog::Rejected);
    };
    const TDataTable before = Table();
    if (editMenu) {
      QVERIFY(mForm->RunCommand(TCommand::DeleteCells));
    } else {
      mPage->RawDataPopupMenu->UpdateItems();
      mPage->RawDataPopupMenu->Action(insert ? TCommand::InsertCells : TCommand::DeleteCells)->trigger();
    }
    QVERIFY(mDialogs.isEmpty());
    if (emptyRow >= 0) QVERIFY(Table().IsRowEmpty(emptyRow));
    if (emptyColumn >= 0) QVERIFY(Table().IsColumnEmpty(emptyColumn));
    // Rows below moved up (or down): row 3 of A now holds another value.
    if (!columns) QVERIFY(Table().GetValue(1, 0) != before.GetValue(1, 0));
    QVERIFY(mForm->Document().ResultsStale);
    QCOMPARE(mForm->UndoStack().undoText(), insert ? QStringLiteral("Insert") : QStringLiteral("Delete"));
  }

  void InsertAsksBeforeDroppingData_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("No keeps everything") << false;
    QTest::newRow("Yes drops column Z") << true;
  }
  void InsertAsksBeforeDroppingData() {
    QFETCH(bool, yes);
    StoreCell(Table(), 0, 25, 99);
    Grid().SelectColumn(1);
    mHost->Questions.YesNo = {yes};
    QVERIFY(mForm->RunCommand(TCommand::InsertColumns));
    QCOMPARE(mHost->Questions.Shown, QStringList{QString::fromLatin1(InsertDropsColumnsQuestion)});
    QCOMPARE(Table().IsColumnEmpty(0), yes);
    QCOMPARE(Table().GetValue(0, 25), yes ? EmptyValue : TReal(99));
    QCOMPARE(mForm->Document().ResultsStale, yes);
  }

  void HelpButtonsOpenTheirTopics_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("topic");
    QTest::addColumn<bool>("fixed");  // the dialog keeps one size
    QTest::newRow("Delete") << int(TCommand::DeleteCells) << int(HelpTopicInsertDelete) << true;
    QTest::newRow("Insert") << int(TCommand::InsertCells) << int(HelpTopicInsertDelete) << true;
    QTest::newRow("Number Format") << int(TCommand::NumberFormat) << int(HelpTopicNumberFormat) << true;
    QTest::newRow("Transform") << int(TCommand::Transform) << int(HelpTopicTransform) << false;
    QTest::newRow("Combine Variables") << int(TCommand::CombineVariables) << int(HelpTopicCombineVariables) << false;
  }
  void HelpButtonsOpenTheirTopics() {
    QFETCH(int, command);
    QFETCH(int, topic);
    QFETCH(bool, fixed);
    bool fixedSize = false;
    mHost->Questions.Dialog = PressHelpThenCancel(fixedSize);
    QVERIFY(mForm->RunCommand(static_cast<TCommand>(command)));
    QCOMPARE(mHost->HelpTopics, QList<int>{topic});
    if (fixed) QVERIFY(fixedSize);
  }

  void DoubleClickingAChoiceActsAsOk() {
    TInsertForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::mouseDClick(form.InsertEntireColRadioButton, Qt::LeftButton);
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.Choice(), TBlockShift::Columns);
  }

  void NumberFormatOpensOnTheSharedPlaces_data() {
    QTest::addColumn<bool>("allThree");
    QTest::addColumn<bool>("fixed");
    QTest::addColumn<int>("field");
    QTest::newRow("all columns on 3") << true << true << 3;
    QTest::newRow("columns differ") << false << false << 2;
  }
  void NumberFormatOpensOnTheSharedPlaces() {
    QFETCH(bool, allThree);
    QFETCH(bool, fixed);
    QFETCH(int, field);
    Table().UserDecimals.fill(3);
    if (!allThree) Table().UserDecimals[20] = 1;
    Grid().SelectAll();
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      auto& form = static_cast<TNumberFormatForm&>(dialog);
      [&] {
        QCOMPARE(form.SelectColumnsLabel->text(), QStringLiteral("For columns A-Z:"));
        QCOMPARE(form.FixedRadioButton->isChecked(), fixed);
        QCOMPARE(form.AutoRadioButton->isChecked(), !fixed);
        QCOMPARE(form.NumDecField->value(), field);
      }();
      return int(QDialog::Rejected);
    };
    QVERIFY(mForm->RunCommand(TCommand::NumberFormat));
  }

  void NumberFormatRedisplaysTheChangedColumns() {
    // Column D on 0 places holds 1.25 and 2.5; the automatic choice shows
    // every decimal, 1.25 and 2.50.
    StoreCell(Table(), 0, 3, 1.25L);
    StoreCell(Table(), 1, 3, 2.5L);
    Table().UserDecimals[3] = 0;
    Grid().RefreshAll();
    QCOMPARE(Shown(1, 3), QStringLiteral("3"));
    Grid().SetCurrentCell(4, 3);
    mHost->Questions.Dialog = [](QDialog& dialog) {
      auto& form = static_cast<TNumberFormatForm&>(dialog);
      if (form.SelectColumnsLabel->text() != QLatin1String("For column D:")) return int(QDialog::Rejected);
      if (!form.FixedRadioButton->isChecked() || form.NumDecField->value() != 0) return int(QDialog::Rejected);
      form.AutoRadioButton->click();
      return int(QDialog::Accepted);
    };
    QVERIFY(mForm->RunCommand(TCommand::NumberFormat));
    QCOMPARE(Table().UserDecimals[3], -1);
    QCOMPARE(Shown(0, 3), QStringLiteral("1.25"));
    QCOMPARE(Shown(1, 3), QStringLiteral("2.50"));

    // Changing the field chooses fixed places.
    mHost->Questions.Dialog = [](QDialog& dialog) {
      auto& form = static_cast<TNumberFormatForm&>(dialog);
      form.NumDecField->setValue(4);
      return form.FixedRadioButton->isChecked() ? int(QDialog::Accepted) : int(QDialog::Rejected);
    };
    QVERIFY(mForm->RunCommand(TCommand::NumberFormat));
    QCOMPARE(Shown(1, 3), QStringLiteral("2.5000"));
  }
};

QTEST_MAIN(BlockCommandsTest)
#include "BlockCommandsTest.moc"
