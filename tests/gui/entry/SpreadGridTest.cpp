#include <QHeaderView>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>
#include <memory>

#include "core/entry/CellStore.h"
#include "gui/entry/GridHeader.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TitleFields.h"

using namespace ombrel;

namespace ombrel {
// Lets QCOMPARE show a selection that differs.
char* toString(const TGridRect& rect) {
  return QTest::toString(
      QStringLiteral("(%1,%2)-(%3,%4)").arg(rect.Left).arg(rect.Top).arg(rect.Right).arg(rect.Bottom));
}
}  // namespace ombrel

namespace {
// Exact comparison of stored values; a failure prints both.
bool Same(TReal actual, TReal expected) {
  if (actual == expected) return true;
  qWarning("actual %.21Lg, expected %.21Lg", actual, expected);
  return false;
}
}  // namespace

// Drives the grids through real key and mouse events, offscreen. Questions
// are answered from a queue (No when it is empty) and recorded.
class SpreadGridTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TDataTable> mTable;
  std::unique_ptr<QWidget> mWindow;
  TSpreadGrid* mGrid = nullptr;
  TDataSetTitleField* mTitleField = nullptr;
  QLineEdit* mOther = nullptr;
  QStringList mQuestions;
  QList<bool> mAnswers;
  int mDataChanges = 0;

  void Build(TGridKind kind) {
    mTable = std::make_unique<TDataTable>();
    mTable->ResetForNewDocument();
    mWindow = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(mWindow.get());
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    mTitleField = new TDataSetTitleField(*mTable, DataSetTitleFieldLength, mWindow.get());
    mGrid = new TSpreadGrid(kind, *mTable, mWindow.get());
    mOther = new QLineEdit(mWindow.get());
    layout->addWidget(mTitleField);
    layout->addWidget(mGrid);
    layout->addWidget(mOther);
    mGrid->SetDataSetTitleField(mTitleField);
    mGrid->SetAsker([this](const QString& question) {
      mQuestions << question;
      return mAnswers.isEmpty() ? false : mAnswers.takeFirst();
    });
    connect(mGrid, &TSpreadGrid::DataChanged, this, [this] { ++mDataChanges; });
    mWindow->resize(1000, 600);
    mWindow->show();
    QApplication::setActiveWindow(mWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(mWindow.get()));
    mGrid->setFocus();
    QTRY_VERIFY(mGrid->hasFocus());
  }

  static void Type(const QString& text) {
    for (const QChar character : text) QTest::keyClick(QApplication::focusWidget(), character.toLatin1());
  }
  static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), key, modifiers);
  }
  QString Shown(int dataRow, int dataColumn) const {
    return mGrid->model()->index(dataRow, dataColumn).data().toString();
  }
  QPoint CellCenter(int dataRow, int dataColumn) const {
    return mGrid->visualRect(mGrid->model()->index(dataRow, dataColumn)).center();
  }
  // Grid row 0 (heading) or 1 (title) of a column, in header coordinates.
  QPoint HeaderPoint(int dataColumn, int gridRow) const {
    const QHeaderView* header = mGrid->horizontalHeader();
    const int rowHeight = header->height() / 2;
    return {header->sectionViewportPosition(dataColumn) + header->sectionSize(dataColumn) / 2,
            gridRow * rowHeight + rowHeight / 2};
  }
  QPoint RowTitlePoint(int dataRow, int x) const {
    const QHeaderView* header = mGrid->verticalHeader();
    return {x, header->sectionViewportPosition(dataRow) + header->sectionSize(dataRow) / 2};
  }
  void ClickLetter(int dataColumn, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(mGrid->horizontalHeader()->viewport(), Qt::LeftButton, modifiers, HeaderPoint(dataColumn, 0));
  }
  void ClickRowTitle(int dataRow, int x, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(mGrid->verticalHeader()->viewport(), Qt::LeftButton, modifiers, RowTitlePoint(dataRow, x));
  }

 private slots:
  void init() {
    mQuestions.clear();
    mAnswers.clear();
    mDataChanges = 0;
    SetNumericTitleQuestionEnabled(true);
  }

  void cleanup() {
    mWindow.reset();
    mTable.reset();
  }

  void TypingCommitsIntoTheTable() {
    Build(TGridKind::RawData);
    Type("1.5");
    QVERIFY(mGrid->EditorActive());
    QVERIFY(mTable->IsCellEmpty(0, 0));  // nothing is stored before the commit
    Press(Qt::Key_Return);
    QVERIFY(Same(mTable->GetValue(0, 0), 1.5L));
    QCOMPARE(mGrid->CurrentDataRow(), 1);  // Enter moves down
    QVERIFY(!mGrid->EditorActive());
    Type("2.25");
    Press(Qt::Key_Tab);
    QVERIFY(Same(mTable->GetValue(1, 0), 2.25L));
    QCOMPARE(Shown(0, 0), QString("1.50"));
    QCOMPARE(mGrid->CurrentDataColumn(), 1);
    Type("-2e-3");
    Press(Qt::Key_Return);
    QVERIFY(Same(mTable->GetValue(1, 1), -0.002L));
    QCOMPARE(Shown(1, 1), QString("-0.002"));
    QCOMPARE(mDataChanges, 3);
  }

  void CommitsOnEveryWayOut_data() {
    QTest::addColumn<QString>("path");
    QTest::newRow("command") << "command";
    QTest::newRow("focus leaves the grid") << "focus";
    QTest::newRow("heading click") << "heading";
    QTest::newRow("other cell click") << "cell";
    QTest::newRow("right arrow") << "right";
    QTest::newRow("left arrow") << "left";
  }
  void CommitsOnEveryWayOut() {
    QFETCH(QString, path);
    Build(TGridKind::RawData);
    mGrid->SetCurrentCell(2, 4);
    Type("7");
    QVERIFY(mGrid->EditorActive());
    if (path == "command") {
      mGrid->CommitEdit();
    } else if (path == "focus") {
      mOther->setFocus();
    } else if (path == "heading") {
      ClickLetter(4);
    } else if (path == "cell") {
      QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(5, 3));
    } else if (path == "right") {
      Press(Qt::Key_Right);
      QCOMPARE(mGrid->CurrentDataColumn(), 2);
    } else if (path == "left") {
      Press(Qt::Key_Left);
      QCOMPARE(mGrid->CurrentDataColumn(), 0);
    }
    QTRY_VERIFY(!mGrid->EditorActive());
    QVERIFY(Same(mTable->GetValue(2, 1), 7.0L));
    QCOMPARE(mDataChanges, 1);
  }

  void RefusesTheFifteenthCharacter() {
    Build(TGridKind::RawData);
    Type("123456789012345");
    QCOMPARE(mGrid->Editor()->text(), QString("12345678901234"));
    mGrid->SelectEditorText();
    Type("9.5e-1");
    Press(Qt::Key_Return);
    QVERIFY(Same(mTable->GetValue(0, 0), 0.95L));
  }

  // Typed keys and text pasted into an open editor are read by one rule,
  // that of a paste onto the cells: a decimal comma is a decimal point, and
  // letters are told to be no number rather than dropped.
  void TypedTextIsReadAsAPasteReadsIt_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("pasted");  // into the open editor
    QTest::addColumn<double>("value");    // 0: nothing stored
    QTest::addColumn<QString>("message");
    const int raw = int(TGridKind::RawData);
    QTest::newRow("comma typed") << raw << "1,5"
                                 << "" << 1.5 << "";
    QTest::newRow("comma pasted") << raw << ""
                                  << "2,5" << 2.5 << "";
    QTest::newRow("comma typed, negative exponent") << raw << "-2,5e-1"
                                                    << "" << -0.25 << "";
    QTest::newRow("letters") << raw << "abc"
                             << "" << 0.0 << "\u201Cabc\u201D is not a number.";
    QTest::newRow("letters after digits") << raw << "12a"
                                          << "" << 0.0 << "\u201C12a\u201D is not a number.";
    QTest::newRow("summary letters") << int(TGridKind::StatData) << "x"
                                     << "" << 0.0 << "\u201Cx\u201D is not a number.";
  }
  void TypedTextIsReadAsAPasteReadsIt() {
    QFETCH(int, kind);
    QFETCH(QString, keys);
    QFETCH(QString, pasted);
    QFETCH(double, value);
    QFETCH(QString, message);
    Build(static_cast<TGridKind>(kind));
    QStringList told;
    mGrid->SetTeller([&told](const QString& said) { told << said; });
    if (keys.isEmpty()) {
      mGrid->EditorOn();
      QVERIFY(mGrid->PasteIntoEditor(pasted));
    } else {
      Type(keys);
    }
    Press(Qt::Key_Return);
    QCOMPARE(told, message.isEmpty() ? QStringList() : QStringList{message});
    if (value != 0.0) {
      QCOMPARE(static_cast<double>(mTable->GetValue(0, 0)), value);
    } else {
      QVERIFY(mGrid->EditorActive());
    }
  }

  // A committed text is stored only when it is a well-formed number; any
  // other text is refused with a message and stays in the editor.
  void RefusesTextsThatAreNotNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString notANumber = QStringLiteral("\u201C%1\u201D is not a number.");
    for (const char* text : {"1 2", "1.2.3", "--5", "12-", "abc", "1e"})
      QTest::newRow(text) << QString(text) << notANumber.arg(text);
    QTest::newRow("beyond 1.5E38") << "2E38"
                                   << "The number is out of range.";
    QTest::newRow("200 digits") << QString(200, QLatin1Char('9')) << "The number is out of range.";
  }
  void RefusesTextsThatAreNotNumbers() {
    QFETCH(QString, text);
    QFETCH(QString, message);
    Build(TGridKind::RawData);
    QStringList told;
    mGrid->SetTeller([&told](const QString& said) { told << said; });
    StoreCell(*mTable, 0, 0, 3);
    mGrid->RefreshAll();
    mGrid->EditorOn();
    QVERIFY(mGrid->EditorActive());
    mGrid->Editor()->setText(text);
    Press(Qt::Key_Return);
    QCOMPARE(told, QStringList{message});
    QVERIFY(Same(mTable->GetValue(0, 0), 3));
    QVERIFY(mGrid->EditorActive());
    QCOMPARE(mGrid->Editor()->selectedText(), text);
    QCOMPARE(mGrid->CurrentDataRow(), 0);
    // A click elsewhere does not take the text away either.
    QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(4, 2));
    QTRY_COMPARE(mGrid->CurrentDataRow(), 0);
    QVERIFY(mGrid->EditorActive());
    QCOMPARE(mDataChanges, 0);
    Press(Qt::Key_Escape);
    QVERIFY(!mGrid->EditorActive());
    QCOMPARE(Shown(0, 0), QString("3"));
  }

  // A value wider than its column shows as "###" (never with its leading
  // characters cut off) until the column is fitted to it.
  void WideValuesShowWholeOrAsHashes() {
    Build(TGridKind::RawData);
    StoreCell(*mTable, 0, 0, -12345678.1234L);
    StoreCell(*mTable, 1, 0, -98765432109.0L);
    mTable->AutoDecimals[0] = 4;
    mGrid->RefreshAll();
    mGrid->setColumnWidth(0, 40);
    QVERIFY(!mGrid->CellShowsWhole(0, 0));
    QVERIFY(!mGrid->CellShowsWhole(1, 0));
    mGrid->FitColumnToValues(0);
    QVERIFY(mGrid->columnWidth(0) > 40);
    QVERIFY(mGrid->CellShowsWhole(0, 0));
    QVERIFY(mGrid->CellShowsWhole(1, 0));
    QVERIFY(mGrid->CellShowsWhole(5, 0));  // an empty cell always does
  }

  void EscapeDropsTheEdit() {
    Build(TGridKind::RawData);
    Type("5");
    Press(Qt::Key_Escape);
    QVERIFY(!mGrid->EditorActive());
    QVERIFY(mTable->IsCellEmpty(0, 0));
    QCOMPARE(mDataChanges, 0);
  }

  void DataSetTitleFieldEditsTheTableTitle() {
    Build(TGridKind::RawData);
    QSignalSpy edited(mTitleField, &TDataSetTitleField::TitleEdited);
    mTitleField->setFocus();
    QTest::keyClicks(mTitleField, QString(120, QLatin1Char('t')));
    QCOMPARE(mTable->Title(), std::string(DataSetTitleFieldLength, 't'));
    QCOMPARE(edited.count(), DataSetTitleFieldLength);
  }

  void OpeningAndLeavingTheEditorKeepsTheValue() {
    Build(TGridKind::RawData);
    mTable->SetValue(0, 0, 1.23456L);
    mTable->UserDecimals[0] = 2;
    mGrid->RefreshAll();
    mGrid->EditorOn();
    QCOMPARE(mGrid->Editor()->text(), QString("1.23"));
    Press(Qt::Key_Down);
    QVERIFY(Same(mTable->GetValue(0, 0), 1.23456L));  // the rounded text was not typed
    QCOMPARE(mDataChanges, 0);
  }

  void MeanDataQuestionNoKeepsTheSummary() {
    Build(TGridKind::RawData);
    TColumnSummary& summary = mTable->Summary(0);
    summary.Mean = 10;
    summary.SD = 2;
    summary.N = 4;
    mAnswers = {false};
    Type("3");
    Press(Qt::Key_Return);
    QCOMPARE(mQuestions, QStringList{QString::fromStdString(MeanDataQuestion(0))});
    QVERIFY(mTable->IsCellEmpty(0, 0));
    QCOMPARE(Shown(0, 0), QString());
    QVERIFY(Same(summary.Mean, 10.0L));
    QVERIFY(Same(summary.SD, 2.0L));
    QCOMPARE(int{mTable->MeanEntryColumn[0]}, 1);
    QCOMPARE(mDataChanges, 0);

    mAnswers = {true};
    mGrid->SetCurrentCell(1, 2);
    Type("3");
    Press(Qt::Key_Return);
    QVERIFY(Same(mTable->GetValue(0, 0), 3.0L));
    QVERIFY(IsEmpty(summary.Mean));
    QCOMPARE(int{mTable->MeanEntryColumn[0]}, 0);
  }

  void DoubleClickEditsWithTheTextSelected() {
    Build(TGridKind::RawData);
    mTable->SetValue(2, 1, 4.5L);
    mTable->AutoDecimals[1] = 1;
    mGrid->RefreshAll();
    // What a real double click delivers: press, release, double click, release.
    QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2, 1));
    QVERIFY(!mGrid->EditorActive());
    QTest::mouseDClick(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2, 1));
    QTest::mouseRelease(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2, 1));
    QTRY_VERIFY(mGrid->EditorActive());
    QCOMPARE(mGrid->Editor()->selectedText(), QString("4.5"));
    Type("6");
    Press(Qt::Key_Return);
    QVERIFY(Same(mTable->GetValue(2, 1), 6.0L));
  }

  void ASecondClickEdits() {
    Build(TGridKind::RawData);
    QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(3, 2));
    QCOMPARE(mGrid->CurrentDataRow(), 3);
    QVERIFY(!mGrid->EditorActive());
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(3, 2));
    QVERIFY(mGrid->EditorActive());
  }

  void UpFromTheFirstRowOpensTheColumnTitle() {
    Build(TGridKind::RawData);
    mGrid->SetCurrentCell(3, 2);
    Type("5");
    Press(Qt::Key_Up);
    QVERIFY(Same(mTable->GetValue(0, 2), 5.0L));
    QVERIFY(mGrid->ColumnTitleField()->isVisible());
    QCOMPARE(mGrid->TitleEditorColumn(), 2);
    QCOMPARE(QApplication::focusWidget(), mGrid->ColumnTitleField());
    Press(Qt::Key_Up);  // on to the data set title
    QVERIFY(!mGrid->ColumnTitleField()->isVisible());
    QCOMPARE(QApplication::focusWidget(), mTitleField);
  }

  void EditsColumnTitlesInPlace() {
    Build(TGridKind::RawData);
    QSignalSpy titles(mGrid, &TSpreadGrid::TitleChanged);
    QTest::mouseClick(mGrid->horizontalHeader()->viewport(), Qt::LeftButton, Qt::NoModifier, HeaderPoint(1, 1));
    TTitleField* field = mGrid->ColumnTitleField();
    QVERIFY(field->isVisible());
    QCOMPARE(field->objectName(), QString("RawDataColTitleField"));
    Type("Dose");
    Press(Qt::Key_Tab);
    QCOMPARE(mTable->Summary(1).Title, std::string("Dose"));
    QCOMPARE(mGrid->TitleEditorColumn(), 2);
    Type("A title far too long");
    Press(Qt::Key_Left);
    QCOMPARE(mTable->Summary(2).Title, std::string("A title far too"));  // 15 characters
    QCOMPARE(mGrid->TitleEditorColumn(), 1);
    Press(Qt::Key_Right);
    Press(Qt::Key_Right);
    QCOMPARE(mGrid->TitleEditorColumn(), 3);
    Type("Weight");
    Press(Qt::Key_Return);
    QVERIFY(!field->isVisible());
    QCOMPARE(mTable->Summary(3).Title, std::string("Weight"));
    QCOMPARE(mGrid->CurrentDataColumn(), 3);
    QCOMPARE(mGrid->CurrentDataRow(), 0);
    QCOMPARE(titles.count(), 3);
    QCOMPARE(mDataChanges, 3);
    QVERIFY(mQuestions.isEmpty());
  }

  void AsksAboutNumericTitlesUntilTheFirstNo() {
    Build(TGridKind::RawData);
    const QString question = QString::fromLatin1(NumericTitleQuestion);
    mTable->SetValue(0, 1, 99.0L);
    mGrid->SetCurrentCell(2, 5);  // the number must not land in the current cell
    mGrid->OpenColumnTitleEditor(0);
    mAnswers = {true};
    Type("1,5");
    Press(Qt::Key_Return);
    QCOMPARE(mQuestions, QStringList{question});
    QVERIFY(Same(mTable->GetValue(0, 0), 1.5L));
    QCOMPARE(mTable->Summary(0).Title, std::string());
    QVERIFY(Same(mTable->GetValue(0, 1), 99.0L));
    QVERIFY(mTable->IsCellEmpty(3, 1));

    mGrid->OpenColumnTitleEditor(1);
    Type("34");
    Press(Qt::Key_Return);  // answered No
    QCOMPARE(mQuestions.size(), 2);
    QCOMPARE(mTable->Summary(1).Title, std::string("34"));
    QVERIFY(Same(mTable->GetValue(0, 1), 99.0L));

    mGrid->OpenColumnTitleEditor(2);
    Type("56");
    Press(Qt::Key_Return);
    QCOMPARE(mQuestions.size(), 2);  // not asked again
    QCOMPARE(mTable->Summary(2).Title, std::string("56"));
  }

  void EditsRowTitlesInPlace() {
    Build(TGridKind::RawData);
    ClickRowTitle(3, 5);
    TTitleField* field = mGrid->RowTitleField();
    QVERIFY(field->isVisible());
    Type("Mouse 12345");
    Press(Qt::Key_Return);
    QVERIFY(!field->isVisible());
    QCOMPARE(mTable->RowTitle(3), std::string("Mouse 1234"));
    QCOMPARE(mGrid->model()->headerData(3, Qt::Vertical).toString(), QString("Mouse 1234"));
    QCOMPARE(mDataChanges, 1);
  }

  void HeaderClicksSelectColumnsRowsAndTable() {
    Build(TGridKind::RawData);
    QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(2, 0));  // anchor row 4
    ClickLetter(1);
    QCOMPARE(mGrid->Selection(), (TGridRect{2, 2, 2, 1001}));
    QVERIFY(mGrid->WholeColumnsSelected());
    ClickLetter(3, Qt::ShiftModifier);
    QCOMPARE(mGrid->Selection(), (TGridRect{2, 2, 4, 1001}));
    QCOMPARE(mGrid->CurrentDataColumn(), 1);
    ClickRowTitle(7, 40, Qt::ShiftModifier);
    QCOMPARE(mGrid->Selection(), (TGridRect{1, 4, 26, 9}));
    QVERIFY(mGrid->SelectionKind() == TSelectionKind::Rows);
    ClickRowTitle(5, 40);
    QCOMPARE(mGrid->Selection(), (TGridRect{1, 7, 26, 7}));
    QCOMPARE(mGrid->CurrentDataRow(), 5);
    ClickRowTitle(5, mGrid->verticalHeader()->width() - 5);  // right margin: no selection
    QCOMPARE(mGrid->Selection(), (TGridRect{1, 7, 26, 7}));

    auto* corner = mGrid->findChild<TGridCorner*>();
    QVERIFY(corner);
    QTest::mouseClick(corner, Qt::LeftButton, Qt::NoModifier, QPoint(10, 25));
    QVERIFY(mGrid->WholeTableSelected());

    QWidget* letters = mGrid->horizontalHeader()->viewport();
    QTest::mousePress(letters, Qt::LeftButton, Qt::NoModifier, HeaderPoint(4, 0));
    QTest::mouseMove(letters, HeaderPoint(5, 0));
    QTest::mouseMove(letters, HeaderPoint(6, 0));
    QTest::mouseRelease(letters, Qt::LeftButton, Qt::NoModifier, HeaderPoint(6, 0));
    QCOMPARE(mGrid->Selection(), (TGridRect{5, 2, 7, 1001}));

    QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(1, 1));
    QTest::mouseClick(mGrid->viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCenter(3, 2));
    QCOMPARE(mGrid->Selection(), (TGridRect{2, 3, 3, 5}));
    QVERIFY(mGrid->SelectionKind() == TSelectionKind::Cells);
  }

  void SummaryGridTakesTypingOnlyInMeanEntryCells() {
    Build(TGridKind::StatData);
    mGrid->SetDataFormat(TDataFormat::MeanSdN);
    mTable->MeanEntryColumn[1] = 0;
    struct TCell {
      int GridRow;
      int DataColumn;
      bool Edits;
    };
    const TCell cells[] = {{2, 0, true}, {3, 0, true}, {4, 0, true}, {6, 0, false}, {8, 0, false}, {2, 1, false}};
    QSignalSpy told(mGrid, &TSpreadGrid::ReadOnlyTyped);
    for (const TCell& cell : cells) {
      mGrid->SetCurrentCell(cell.DataColumn + 1, cell.GridRow);
      Type("5");
      QCOMPARE(mGrid->EditorActive(), cell.Edits);
      mGrid->CancelEdit();
    }
    // Each computed cell said why it took no typing.
    QCOMPARE(told.count(), 3);
    QCOMPARE(told.last().at(0).toString(), QString("Computed from the raw data"));
    mGrid->SetDataFormat(TDataFormat::MultipleRegression);
    mGrid->SetCurrentCell(1, 2);
    Type("5");
    QVERIFY(!mGrid->EditorActive());
  }

  void SummaryNRowRefusesDecimalPoints() {
    Build(TGridKind::StatData);
    mGrid->SetDataFormat(TDataFormat::MeanSdN);
    mGrid->SetCurrentCell(1, 4);
    Type("1.5,0");
    QCOMPARE(mGrid->Editor()->text(), QString("150"));
    mGrid->CancelEdit();
    mGrid->SetCurrentCell(1, 2);
    Type("1.5");
    QCOMPARE(mGrid->Editor()->text(), QString("1.5"));
  }

  void SummaryGridStoresTypedMeans() {
    Build(TGridKind::StatData);
    mGrid->SetDataFormat(TDataFormat::MeanSdN);
    QCOMPARE(mGrid->model()->headerData(1, Qt::Vertical).toString(), QString("Standard deviation (SD)"));
    mGrid->SetMeanIsSD(false);
    QCOMPARE(mGrid->model()->headerData(1, Qt::Vertical).toString(), QString("SEM"));
    mGrid->SetMeanIsSD(true);
    mGrid->SetCurrentCell(1, 2);
    Type("10");
    Press(Qt::Key_Return);
    Type("2");
    Press(Qt::Key_Return);
    Type("4");
    Press(Qt::Key_Return);
    const TColumnSummary& summary = mTable->Summary(0);
    QVERIFY(Same(summary.Mean, 10.0L));
    QVERIFY(Same(summary.SD, 2.0L));
    QCOMPARE(summary.N, 4);
    QVERIFY(Same(summary.SEM, 1.0L));  // 2 / sqrt(4)
    QCOMPARE(mDataChanges, 3);
    QVERIFY(!mGrid->model()->index(4, 0).data().toString().trimmed().isEmpty());
  }
};

QTEST_MAIN(SpreadGridTest)
#include "SpreadGridTest.moc"
