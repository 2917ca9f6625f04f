#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QtTest>
#include <memory>

#include "support/PageTestSupport.h"
#include "gui/document/Analyze.h"
#include "gui/document/DataEntryPage.h"
#include "gui/entry/CombineVarForm.h"
#include "gui/entry/SpreadGrid.h"
#include "gui/entry/TransformForm.h"

using namespace ombrel;

// The Transform and Combine Variables dialogs and their commands on the
// data table page, answered through the scripted asker.
class DataCommandsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<TTestHost> mHost;
  std::unique_ptr<Analyze> mForm;

  TDocument& Document() const { return mForm->Document(); }
  TDataTable& Table() const { return mForm->Document().Table; }
  TDataEntryPage* Entry() const { return qobject_cast<TDataEntryPage*>(mForm->Page(TStep::DataEntry)); }
  QString Shown(int dataRow, int dataColumn) const {
    return Entry()->RawDataGrid->model()->index(dataRow, dataColumn).data().toString().trimmed();
  }
  void FillColumn(int column, std::initializer_list<TReal> values) {
    int row = 0;
    for (const TReal value : values) {
      if (!IsEmpty(value)) StoreCell(Table(), row, column, value);
      ++row;
    }
  }
  // The next dialog picks the transform of `code` with K typed as `k`.
  void PickTransform(int code, const QString& k = {}) {
    mHost->Questions.Dialog = [code, k](QDialog& dialog) {
      auto* form = qobject_cast<TTransformForm*>(&dialog);
      if (form == nullptr) return int(QDialog::Rejected);
      form->TransformComboBox->setCurrentRow(code - 1);
      if (!k.isNull()) form->KField->setText(k);
      form->accept();
      return form->result();
    };
  }

 private slots:
  void initTestCase() { QuietOffscreenWarnings(); }

  void init() {
    mHost = std::make_unique<TTestHost>();
    mForm = ShowDocumentWindow(*mHost, std::make_unique<TDocument>());
    QVERIFY(QTest::qWaitForWindowExposed(mForm.get()));
    QVERIFY(Document().ChooseFormat(TDataFormat::Raw));
    mForm->GoToStep(TStep::DataEntry);
  }

  void cleanup() {
    mForm.reset();
    mHost.reset();
  }

  void KFieldFollowsTheChosenTransform_data() {
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("k");
    QTest::newRow("LOGIT presets 1") << 8 << true << QStringLiteral("1");
    QTest::newRow("K*Y presets 1") << 14 << true << QStringLiteral("1");
    QTest::newRow("Y+K presets 0") << 15 << true << QStringLiteral("0");
    QTest::newRow("Y-K presets 0") << 16 << true << QStringLiteral("0");
    QTest::newRow("Y/K presets 1") << 17 << true << QStringLiteral("1");
    QTest::newRow("squared keeps K") << 1 << false << QStringLiteral("2.5");
    QTest::newRow("arcsin keeps K") << 12 << false << QStringLiteral("2.5");
  }
  void KFieldFollowsTheChosenTransform() {
    QFETCH(int, code);
    QFETCH(bool, enabled);
    QFETCH(QString, k);
    TTransformForm form(mHost->Questions);
    QCOMPARE(form.windowTitle(), QStringLiteral("Transform"));
    QCOMPARE(form.TransformComboBox->count(), 17);
    QCOMPARE(form.KField->text(), QStringLiteral("1"));
    form.TransformComboBox->setCurrentRow(14);  // Y=Y+K
    form.KField->setText(QStringLiteral("2.5"));
    form.TransformComboBox->setCurrentRow(0);  // K disabled, kept
    form.TransformComboBox->setCurrentRow(code - 1);
    QCOMPARE(form.KField->isEnabled(), enabled);
    QCOMPARE(form.KField->text(), k);
  }

  void UnreadableKIsRefused() {
    TTransformForm form(mHost->Questions);
    form.TransformComboBox->setCurrentRow(16);
    form.KField->setText(QStringLiteral("-"));
    form.accept();
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(mHost->Questions.Shown, QStringList{QStringLiteral("K must be a number.")});
    // A disabled K is not read.
    form.TransformComboBox->setCurrentRow(0);
    form.accept();
    QCOMPARE(form.result(), int(QDialog::Accepted));
  }

  void DoubleClickOnATransformMeansOk() {
    TTransformForm form(mHost->Questions);
    QListWidget* list = form.TransformComboBox;
    list->setCurrentRow(6);
    emit list->itemDoubleClicked(list->item(6));
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.SelectedTransform(), TTransform::Sqrt);
  }

  void TransformAsksBeforeErasingImpossibleValues_data() {
    QTest::addColumn<bool>("answer");
    QTest::newRow("Yes erases") << true;
    QTest::newRow("No keeps everything") << false;
  }
  void TransformAsksBeforeErasingImpossibleValues() {
    QFETCH(bool, answer);
    FillColumn(0, {100, 0, -5});
    FillColumn(1, {1000});
    Entry()->RawDataGrid->RefreshAll();
    Entry()->RawDataGrid->SelectColumn(1);
    PickTransform(2);
    mHost->Questions.YesNo = {answer};
    const int changesBefore = mHost->StateChanges;
    QVERIFY(mForm->RunCommand(TCommand::Transform));
    QCOMPARE(mHost->Questions.Shown,
             QStringList{QStringLiteral("The transformation you have selected is mathematically impossible with 2 of "
                                        "the values. These values will be erased. Continue?")});
    if (answer) {
      QCOMPARE(Shown(0, 0), QStringLiteral("2"));
      QVERIFY(Table().IsCellEmpty(1, 0));
      QVERIFY(Table().IsCellEmpty(2, 0));
      QCOMPARE(Shown(1, 0), QString());
      QVERIFY(mHost->StateChanges > changesBefore);
    } else {
      QCOMPARE(Table().GetValue(0, 0), TReal(100));
      QCOMPARE(Table().GetValue(2, 0), TReal(-5));
      QCOMPARE(mHost->StateChanges, changesBefore);
    }
    QCOMPARE(Table().GetValue(0, 1), TReal(1000));  // outside the selection
  }

  void TransformOfTheCurrentCellShowsItsNewDecimals() {
    FillColumn(0, {3, 4});
    Entry()->RawDataGrid->RefreshAll();
    Entry()->RawDataGrid->SetCurrentCell(1, 2);
    PickTransform(6);
    QVERIFY(mForm->RunCommand(TCommand::Transform));
    QVERIFY(mHost->Questions.Shown.isEmpty());
    QCOMPARE(Shown(0, 0), QStringLiteral("0.33333333"));
    QCOMPARE(Shown(1, 0), QStringLiteral("4.00000000"));
    QCOMPARE(Table().AutoDecimals[0], 8);
  }

  void CombineRefusesWithoutDataOrFreeColumn() {
    QVERIFY(mForm->RunCommand(TCommand::CombineVariables));
    QCOMPARE(mHost->Questions.Shown, QStringList{QStringLiteral("You must enter data first.")});
    for (int c = 0; c < MaxColumns; ++c) FillColumn(c, {1});
    QVERIFY(mForm->RunCommand(TCommand::CombineVariables));
    QCOMPARE(mHost->Questions.Shown.last(),
             QStringLiteral("There must be an empty column in order to combine columns."));
  }

  void CombineDividesIntoTheFreeColumn() {
    FillColumn(0, {1, 6, 5});
    FillColumn(1, {3, 2, 0});
    FillColumn(3, {7});
    StoreColumnTitle(Table(), 3, "Dose");
    Entry()->RawDataGrid->RefreshAll();
    Entry()->RawDataGrid->SetCurrentCell(1, 2);  // column A holds data: the target is C
    QString prompt;
    QStringList items;
    mHost->Questions.Dialog = [&](QDialog& dialog) {
      auto* form = qobject_cast<TCombineVarForm*>(&dialog);
      if (form == nullptr) return int(QDialog::Rejected);
      prompt = form->Prompt->text();
      for (int i = 0; i < form->FirstColumnComboBox->count(); ++i) items << form->FirstColumnComboBox->itemText(i);
      if (!form->MinusRadioButton->isChecked()) return int(QDialog::Rejected);
      form->show();
      if (!QTest::qWaitForWindowExposed(form)) return int(QDialog::Rejected);
      form->SecondColumnComboBox->setCurrentIndex(1);
      QTest::mouseDClick(form->DivideRadioButton, Qt::LeftButton);
      return form->result();
    };
    QVERIFY(mForm->RunCommand(TCommand::CombineVariables));
    QCOMPARE(prompt, QStringLiteral("Create a new variable for column C"));
    QCOMPARE(items, (QStringList{QStringLiteral("Column A"), QStringLiteral("Column B"), QStringLiteral("D: Dose")}));
    QCOMPARE(Table().Summary(2).Title, std::string("A/B"));
    QCOMPARE(Shown(0, 2), QStringLiteral("0.33333333"));
    QCOMPARE(Shown(1, 2), QStringLiteral("3.00000000"));
    QVERIFY(Table().IsCellEmpty(2, 2));  // divided by 0
    QVERIFY(mHost->StateChanges > 0);
  }

  void CombineAsksBeforeReplacingTypedMeans() {
    FillColumn(0, {1, 2});
    TColumnSummary& summary = Table().Summary(1);
    summary.Mean = 5;
    summary.N = 3;
    Entry()->RawDataGrid->SetCurrentCell(2, 2);
    mHost->Questions.Dialog = [](QDialog& dialog) {
      dialog.accept();
      return dialog.result();
    };
    QVERIFY(mForm->RunCommand(TCommand::CombineVariables));  // answered No
    QCOMPARE(mHost->Questions.Shown.size(), 1);
    QVERIFY(mHost->Questions.Shown.at(0).startsWith(QStringLiteral("Column B contains data entered as mean")));
    QCOMPARE(summary.Mean, TReal(5));
    QVERIFY(Table().IsColumnEmpty(1));

    mHost->Questions.YesNo = {true};
    QVERIFY(mForm->RunCommand(TCommand::CombineVariables));
    QVERIFY(IsEmpty(summary.Mean));
    QCOMPARE(Table().GetValue(1, 1), TReal(0));  // A - A
    QCOMPARE(Table().MeanEntryColumn[1], std::uint8_t(0));
  }
};

QTEST_MAIN(DataCommandsTest)
#include "DataCommandsTest.moc"
