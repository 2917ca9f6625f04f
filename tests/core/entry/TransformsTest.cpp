#include "core/entry/Transforms.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <string>
#include <vector>

#include "core/entry/CellStore.h"
#include "core/entry/CellText.h"
#include "support/EntryTestSupport.h"

namespace ombrel {
namespace {

using test::NewTable;
using test::StoreColumn;

TDataRange Cells(int firstRow, int lastRow, int firstColumn, int lastColumn) {
  return {firstRow, lastRow, firstColumn, lastColumn};
}

// Expected values from mpmath at 30 digits (python3: mp.dps = 30), e.g.
// log(mpf('0.5') / mpf('99.5')); inputs such as 0.02 are not exact binary
// fractions, so the tolerance is relative 1e-16.
TEST(TransformValue, MatchesHighPrecisionValuesAndEmptiesImpossibleOnes) {
  constexpr TReal E = EmptyValue;
  struct TRow {
    TTransform Transform;
    TReal Y;
    TReal K;
    TReal Expected;
  };
  const TRow rows[] = {
      {TTransform::Square, 1.5L, 1, 2.25L},
      {TTransform::Square, -1.3e19L, 1, E},  // 1.69E38 is beyond the table's range
      {TTransform::Log10, 100, 1, 2},
      {TTransform::Log10, 0.02L, 1, -1.698970004336018804786261L},
      {TTransform::Log10, 0, 1, E},
      {TTransform::Log10, -5, 1, E},
      {TTransform::Ln, 2, 1, 0.6931471805599453094172321L},
      {TTransform::Ln, 1e-30L, 1, -69.07755278982137052053974L},
      {TTransform::Ln, 0, 1, E},
      {TTransform::Power10, 2, 1, 100},
      {TTransform::Power10, -2.5L, 1, 0.003162277660168379331998894L},
      {TTransform::Power10, 39, 1, E},
      {TTransform::Power10, 1e6L, 1, E},  // overflows even 80 bits
      {TTransform::Exp, 1, 1, 2.718281828459045235360287L},
      {TTransform::Exp, -1.5L, 1, 0.2231301601484298289332805L},
      {TTransform::Exp, 87, 1, 6.076030225056872149522329e37L},
      {TTransform::Exp, 88, 1, E},  // 1.65E38
      {TTransform::Reciprocal, 7, 1, 0.1428571428571428571428571L},
      {TTransform::Reciprocal, 0, 1, E},
      {TTransform::Reciprocal, 1e-40L, 1, E},
      {TTransform::Sqrt, 2, 1, 1.414213562373095048801689L},
      {TTransform::Sqrt, 0, 1, 0},
      {TTransform::Sqrt, -1, 1, E},
      {TTransform::Logit, 0.5L, 1, 0},
      {TTransform::Logit, 0.25L, 1, -1.098612288668109691395245L},
      {TTransform::Logit, 0.5L, 100, -5.293304824724492395410121L},
      {TTransform::Logit, 1, 1, E},
      {TTransform::Logit, 0, 1, E},
      {TTransform::Logit, 1.5L, 100, E},   // Y >= 1 whatever K
      {TTransform::Logit, 0.5L, 0.5L, E},  // K - Y = 0
      {TTransform::Logit, 0.7L, 0.5L, E},  // negative quotient
      {TTransform::Sin, 1, 1, 0.8414709848078965066525023L},
      {TTransform::Sin, 1e18L, 1, -0.992969320740405076209553L},
      {TTransform::Sin, 1e19L, 1, 0},  // beyond 2^63
      {TTransform::Cos, 1, 1, 0.5403023058681397174009366L},
      {TTransform::Cos, -2.5L, 1, -0.8011436155469337148335028L},
      {TTransform::Cos, -1e19L, 1, 0},
      {TTransform::Tan, 1, 1, 1.557407724654902230506975L},
      {TTransform::Tan, 1e19L, 1, E},  // sine and cosine both 0
      {TTransform::ArcSin, 0.5L, 1, 0.5235987755982988730771072L},
      {TTransform::ArcSin, 1, 1, 1.570796326794896619231322L},
      {TTransform::ArcSin, -0.3L, 1, -0.304692654015397507972003L},
      {TTransform::ArcSin, 1.0001L, 1, E},
      {TTransform::ArcSin, -1.0001L, 1, E},
      {TTransform::Abs, -3.25L, 1, 3.25L},
      {TTransform::TimesK, 2.5L, 4, 10},
      {TTransform::TimesK, 1e38L, 2, E},
      {TTransform::PlusK, 2.5L, -4, -1.5L},
      {TTransform::MinusK, 2.5L, -4, 6.5L},
      {TTransform::DivideK, 3, 4, 0.75L},
      {TTransform::DivideK, 3, 0, E},
      {TTransform::DivideK, 0, 0, E},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(std::string(TransformCaption(row.Transform)) + " of " + std::to_string(static_cast<double>(row.Y)) +
                 ", K = " + std::to_string(static_cast<double>(row.K)));
    const TReal value = TransformValue(row.Transform, row.Y, row.K);
    if (IsEmpty(row.Expected)) {
      EXPECT_TRUE(IsEmpty(value)) << static_cast<double>(value);
    } else {
      ASSERT_FALSE(IsEmpty(value));
      EXPECT_NEAR(static_cast<double>(value), static_cast<double>(row.Expected),
                  1e-16 * std::fabs(static_cast<double>(row.Expected)) + 1e-300);
    }
  }
}

TEST(TransformValue, LeavesTheCallersFloatingPointFlagsAlone) {
  std::feclearexcept(FE_ALL_EXCEPT);
  (void)TransformValue(TTransform::Log10, 0, 1);
  (void)TransformValue(TTransform::Power10, 1e6L, 1);
  (void)TransformValue(TTransform::DivideK, 1, 0);
  EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW), 0);
}

TEST(TransformCodes, ListOrderGivesTheCodes) {
  EXPECT_EQ(TransformCaption(TransformFromCode(1)), "Y=Y squared");
  EXPECT_EQ(TransformCaption(TransformFromCode(8)), "Y=LOGIT(Y)");
  EXPECT_EQ(TransformCaption(TransformFromCode(17)), "Y=Y/K");
  EXPECT_EQ(TransformFromCode(0), TTransform::Square);
  EXPECT_EQ(TransformFromCode(18), TTransform::Square);
}

TEST(KFieldText, ShowsUpToNineDecimalsWithinTenCharacters) {
  struct TRow {
    TReal K;
    const char* Text;
  };
  const TRow rows[] = {{1, "1"}, {0, "0"}, {-2.5L, "-2.5"}, {0.25L, "0.25"}, {1234.5678901L, "1234.56789"}};
  for (const TRow& row : rows) EXPECT_EQ(KFieldText(row.K), row.Text);
  EXPECT_EQ(ParseKFieldText("1,5"), 1.5L);
  EXPECT_TRUE(IsEmpty(ParseKFieldText("")));
}

TEST(DataRangeOf, ClipsTheGridSelectionToDataCells) {
  struct TRow {
    TGridRect Selection;
    TDataRange Expected;
  };
  const TRow rows[] = {
      {{1, 2, 1, 2}, {0, 0, 0, 0}},
      {{3, 5, 4, 9}, {3, 7, 2, 3}},
      {{1, 1, 26, 1001}, {0, 999, 0, 25}},  // a title row is not data
  };
  for (const TRow& row : rows) {
    const TDataRange range = DataRangeOf(row.Selection);
    EXPECT_EQ(range.FirstRow, row.Expected.FirstRow);
    EXPECT_EQ(range.LastRow, row.Expected.LastRow);
    EXPECT_EQ(range.FirstColumn, row.Expected.FirstColumn);
    EXPECT_EQ(range.LastColumn, row.Expected.LastColumn);
  }
}

TEST(ApplyTransform, LogOfZeroAndNegativeAsksAboutTwoAndErasesThem) {
  TDataTable table = NewTable();
  StoreColumn(table, 0, {100, 0, -5});
  const TDataRange range = Cells(0, 999, 0, 0);
  EXPECT_EQ(CountImpossibleValues(table, range, TTransform::Log10, 1), 2);
  EXPECT_EQ(ImpossibleValuesQuestion(2),
            "The transformation you have selected is mathematically impossible with 2 of the values. "
            "These values will be erased. Continue?");

  const TTransformOutcome outcome = ApplyTransform(table, range, TTransform::Log10, 1);
  EXPECT_EQ(outcome.Transformed, 3);
  EXPECT_EQ(outcome.Erased, 2);
  EXPECT_EQ(table.GetValue(0, 0), 2);
  EXPECT_TRUE(table.IsCellEmpty(1, 0));
  EXPECT_TRUE(table.IsCellEmpty(2, 0));
  EXPECT_EQ(table.LastRow(), 0);
  EXPECT_EQ(table.MeanEntryColumn[0], 0);
}

TEST(ApplyTransform, ReciprocalOfThreeWidensTheColumnToEightDecimals) {
  TDataTable table = NewTable();
  StoreColumn(table, 1, {3});
  table.ColumnChanged.fill(0);
  (void)ApplyTransform(table, Cells(0, 0, 1, 1), TTransform::Reciprocal, 1);
  EXPECT_EQ(table.AutoDecimals[1], 8);
  EXPECT_EQ(FormatCellValue(table.GetValue(0, 1), table.DisplayDecimals(1)), "0.33333333");
  EXPECT_EQ(table.ColumnChanged[1], 1);
}

TEST(ApplyTransform, DivisionByZeroErasesEveryValueAndFreesTheColumn) {
  TDataTable table = NewTable();
  StoreColumn(table, 0, {1, 2});
  StoreColumn(table, 2, {5, EmptyValue, 7, 8});
  const TDataRange range = Cells(0, 999, 2, 2);
  EXPECT_EQ(CountImpossibleValues(table, range, TTransform::DivideK, 0), 3);
  const TTransformOutcome outcome = ApplyTransform(table, range, TTransform::DivideK, 0);
  EXPECT_EQ(outcome.Erased, 3);
  EXPECT_TRUE(table.IsColumnEmpty(2));
  // The emptied column may take typed means again, and the extents shrink
  // back to column A's values.
  EXPECT_EQ(table.MeanEntryColumn[2], 1);
  EXPECT_EQ(table.Summary(2).N, -1);
  EXPECT_EQ(table.LastColumn(), 0);
  EXPECT_EQ(table.LastRow(), 1);
  EXPECT_EQ(table.GetValue(1, 0), 2);
}

TEST(ApplyTransform, SelectionWithoutNumbersChangesNothing) {
  TDataTable table = NewTable();
  StoreColumn(table, 0, {1, 2});
  table.ColumnChanged.fill(0);
  const TDataRange range = Cells(0, 999, 1, 25);
  EXPECT_EQ(CountImpossibleValues(table, range, TTransform::Log10, 1), 0);
  const TTransformOutcome outcome = ApplyTransform(table, range, TTransform::Log10, 1);
  EXPECT_EQ(outcome.Transformed, 0);
  for (int c = 0; c < MaxColumns; ++c) EXPECT_EQ(table.ColumnChanged[static_cast<std::size_t>(c)], 0) << c;
  EXPECT_EQ(table.MeanEntryColumn[1], 1);
}

TEST(ApplyTransform, TouchesOnlySelectedCellsAndKeepsExcludeFlagsOfNumbers) {
  TDataTable table = NewTable();
  StoreColumn(table, 0, {4, 9, -1});
  StoreColumn(table, 1, {16, 25, 36});
  table.SetExcluded(1, 0, true);
  table.SetExcluded(2, 0, true);
  (void)ApplyTransform(table, Cells(1, 2, 0, 0), TTransform::Sqrt, 1);
  EXPECT_EQ(table.GetValue(0, 0), 4);  // above the selection
  EXPECT_EQ(table.GetValue(1, 0), 3);
  EXPECT_TRUE(table.IsExcluded(1, 0));
  EXPECT_TRUE(table.IsCellEmpty(2, 0));
  EXPECT_FALSE(table.IsExcluded(2, 0));
  EXPECT_EQ(table.GetValue(1, 1), 25);  // beside it
  // Row 2 still holds column B's value, so the extents stay.
  EXPECT_EQ(table.LastRow(), 2);
  EXPECT_EQ(table.LastColumn(), 1);
}

}  // namespace
}  // namespace ombrel
