#include "core/entry/CellText.h"

#include <gtest/gtest.h>

#include <string>

namespace ombrel {
namespace {

struct TParseCase {
  const char* Text;
  TReal Expected;
};

// Expected values follow the cell-cleaning rules by hand: one decimal point
// (comma or period), one minus, one exponent mark, trailing marks dropped.
TEST(ParseCellText, CleansAndReadsTypedText) {
  const TParseCase cases[] = {
      {"1,5", 1.5L},       {"1.5", 1.5L},         {"1.2.3", 1.23L},
      {"1,2.3", 1.23L},    {"--5", -5.0L},        {"12-", 12.0L},
      {"-.5", -0.5L},      {" 7 ", 7.0L},         {"+3", 3.0L},
      {"1e+5", 1e5L},      {"5E-", 5.0L},         {"1E2E3", 1e23L},
      {"1.5E38", 1.5e38L}, {"-1.5E38", -1.5e38L}, {"-2e-3", -0.002L},
      {"2e-3", 0.002L},    {"-2e-3-4", -2e-34L},  {"123456789012345", 12345678901234.0L},  // cut to 14 characters
  };
  for (const TParseCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(ParseCellText(c.Text), c.Expected);
  }
}

TEST(ParseCellText, GivesEmptyForNothingUnreadableOrOutOfRange) {
  const char* const texts[] = {"", ".", "-", "E", "-.E", "E5", "5-3", "abc", "inf", "nan", "1.5E39", "-2E38", "1E5000"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    EXPECT_TRUE(IsEmpty(ParseCellText(text)));
  }
}

struct TTypedCase {
  std::string Text;
  char Separator;
  TTypedKind Kind;
  TReal Value;
};

// A committed cell text is stored only when it is a well-formed number.
TEST(ReadTypedNumber, StoresWellFormedNumbersAndRefusesTheRest) {
  const TTypedKind N = TTypedKind::Number, Bad = TTypedKind::NotANumber, Far = TTypedKind::OutOfRange;
  const TTypedCase cases[] = {
      {"", '.', TTypedKind::Empty, EmptyValue},
      {"   ", '.', TTypedKind::Empty, EmptyValue},
      {" 7 ", '.', N, 7.0L},
      {"+3", '.', N, 3.0L},
      {"-.5", '.', N, -0.5L},
      {"5.", '.', N, 5.0L},
      {"2.5e3", '.', N, 2500.0L},
      {"1.2E-05", '.', N, 1.2e-5L},
      {"1,5", ',', N, 1.5L},
      {"1.5", ',', N, 1.5L},
      {"0.123456789012345678", '.', N, 0.123456789012345678L},
      {"1e-5000", '.', N, 0.0L},
      {"1.5E38", '.', N, 1.5e38L},
      {"1,5", '.', Bad, EmptyValue},
      {"1 2", '.', Bad, EmptyValue},
      {"1.2.3", '.', Bad, EmptyValue},
      {"--5", '.', Bad, EmptyValue},
      {"12-", '.', Bad, EmptyValue},
      {"abc", '.', Bad, EmptyValue},
      {".", '.', Bad, EmptyValue},
      {"5e", '.', Bad, EmptyValue},
      {"e5", '.', Bad, EmptyValue},
      {"inf", '.', Bad, EmptyValue},
      {"nan", '.', Bad, EmptyValue},
      {"0x10", '.', Bad, EmptyValue},
      {"1.5E39", '.', Far, EmptyValue},
      {"-2E38", '.', Far, EmptyValue},
      {"1e999", '.', Far, EmptyValue},
      {std::string(200, '9'), '.', Far, EmptyValue},
  };
  for (const TTypedCase& c : cases) {
    SCOPED_TRACE(c.Text);
    const TTypedNumber typed = ReadTypedNumber(c.Text, c.Separator);
    EXPECT_EQ(typed.Kind, c.Kind);
    EXPECT_EQ(typed.Value, c.Value);
  }
  EXPECT_EQ(TypedNumberMessage(ReadTypedNumber(" 1.2.3 "), " 1.2.3 "), "\u201C1.2.3\u201D is not a number.");
  EXPECT_EQ(TypedNumberMessage(ReadTypedNumber("1e999"), "1e999"), "The number is out of range.");
  EXPECT_EQ(TypedNumberMessage(ReadTypedNumber("4"), "4"), "");
}

struct TFormatCase {
  TReal Value;
  int Places;
  const char* Expected;
};

// Scientific expectations from Python's Decimal with ROUND_HALF_UP to 7
// significant digits ('%.6E'); fixed ones from Decimal.quantize.
TEST(FormatCellValue, SwitchesToScientificAtTheThresholds) {
  const TFormatCase cases[] = {
      {12345678.0L, 2, " 1.234568E+07"},
      {-12345678.0L, 2, "-1.234568E+07"},
      {99999995.0L, 0, " 1.000000E+08"},  // carry into the exponent
      {1.5e38L, 0, " 1.500000E+38"},
      {1e-300L, 4, " 1.000000E-300"},
      {0.0001L, 5, " 1.000000E-04"},  // 1E-4 itself is scientific
      {0.00011L, 5, "0.00011"},       // just above it is not
      {10000000.0L, 0, "10000000"},   // 1E7 itself is fixed
      {9999999.5L, 0, "10000000"},
      {0.0L, 3, "0.000"},
      {1.5L, 2, "1.50"},
      {-1.5L, 0, "-2"},
      {2.675L, 2, "2.68"},
      {-0.0004L, 2, "0.00"},                       // no sign on a value shown as zero
      {1234567.123456789L, 10, "1234567.123456"},  // cut to 14 characters
      {3.0L, -1, "3"},
  };
  for (const TFormatCase& c : cases) {
    SCOPED_TRACE(c.Expected);
    EXPECT_EQ(FormatCellValue(c.Value, c.Places), c.Expected);
  }
  EXPECT_EQ(FormatCellValue(EmptyValue, 2), "");
}

struct TDigitsCase {
  const char* Text;
  int IntegerDigits;
  int Decimals;
};

TEST(CountTextDigits, CountsSignAndExponent) {
  const TDigitsCase cases[] = {
      {"123.45", 3, 2},        {"-12.5", 3, 1},  {"12", 2, 0}, {" 7.25 ", 1, 2}, {"1.5E+03", 4, 0}, {"-1.5E3", 5, 0},
      {" 1.234568E-05", 1, 5}, {"1.2E-1", 1, 1}, {"1E", 1, 0}, {"1Ex", 1, 0},    {".5", 0, 1},
  };
  for (const TDigitsCase& c : cases) {
    SCOPED_TRACE(c.Text);
    const TTextDigits digits = CountTextDigits(c.Text);
    EXPECT_EQ(digits.IntegerDigits, c.IntegerDigits);
    EXPECT_EQ(digits.Decimals, c.Decimals);
  }
}

TEST(OwnDecimals, UsesEightDecimalsOrTheScientificText) {
  EXPECT_EQ(OwnDecimals(0.125L), 3);
  EXPECT_EQ(OwnDecimals(2.0L), 0);
  EXPECT_EQ(OwnDecimals(1.0L / 3.0L), 8);
  EXPECT_EQ(OwnDecimals(2.5e-6L), 6);  // " 2.500000E-06"
  EXPECT_EQ(OwnDecimals(1e9L), 0);
}

TEST(LooksLikeNumber, NeedsCellCharactersAndADigit) {
  EXPECT_TRUE(LooksLikeNumber("12"));
  EXPECT_TRUE(LooksLikeNumber("1,5e-3"));
  EXPECT_FALSE(LooksLikeNumber("-"));
  EXPECT_FALSE(LooksLikeNumber(""));
  EXPECT_FALSE(LooksLikeNumber("Dose 1"));
  EXPECT_FALSE(LooksLikeNumber(" 12"));
}

}  // namespace
}  // namespace ombrel
