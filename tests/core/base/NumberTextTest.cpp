#include <gtest/gtest.h>

#include "core/base/NumberText.h"
#include "core/report/ReportText.h"

namespace ombrel {
namespace {

// Writes one number into a fresh report and returns the text.
std::string Written(void (*write)(TReportText&)) {
  TReportText report;
  report.BeginReport();
  write(report);
  return report.Text();
}

TEST(WriteNumber, DigitsMinusFiveFollowsTheSignificantDigitTable) {
  // Rows of the significant-digit table of the report format, including the
  // leading spaces that right-alignment in the computed width gives.
  struct Row {
    TReal Value;
    const char* Text;
  };
  const Row rows[] = {
      {123456.0L, " 123456"},    {12345.6L, " 12346"},  {1234.56L, "1234.6"},       {123.456L, "123.46"},
      {12.3456L, "12.346"},      {1.23456L, "1.235"},   {0.123456L, "0.1235"},      {0.0123456L, "0.01235"},
      {0.00123456L, "0.001235"}, {0.0L, "0.000"},       {0.0000123L, " 1.230E-05"}, {12345678.0L, "1.235E+07"},
      {-0.00005L, "-5.000E-05"}, {-1.23456L, "-1.235"}, {99.9996L, "100.000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    TReportText report;
    report.WriteNumber(row.Value, -5);
    EXPECT_EQ(report.Text(), row.Text);
  }
}

TEST(WriteNumber, PositiveDigitsAreDecimals) {
  EXPECT_EQ(Written([](TReportText& r) { r.WriteNumber(0.04567L, 4); }), "0.0457");
  EXPECT_EQ(Written([](TReportText& r) { r.WriteNumber(0.5L, 4); }), "0.5000");
}

TEST(WriteNumberIn, RightAlignsAndDropsTheSignOfANegativeZero) {
  struct Row {
    int Width;
    TReal Value;
    int Digits;
    const char* Text;
  };
  const Row rows[] = {
      {8, -0.0004999L, 2, "    0.00"},
      {8, -0.00005L, 3, "-5.000E-05"},  // scientific test comes before the decimals
      {8, EmptyValue, 2, "        "},
      {3, 1234.5L, 1, "1234.5"},    // a longer text is written whole
      {10, 2.5L, 0, "         3"},  // half away from zero
      {10, -2.5L, 0, "        -3"},
      {10, 0.125L, 2, "      0.13"},
      {10, 2.675L, 2, "      2.68"},  // rounded on the decimal digits, not the binary value
      {10, 1.0005L, 3, "     1.001"},
      {10, 9999999.5L, 0, "  10000000"},
      {12, 10000000.5L, 0, "   1.000E+07"},
      {12, 9.99949e-5L, 4, "   9.999E-05"},
      {12, 9.99951e-5L, 4, "   1.000E-04"},  // the carry moves the exponent
      {12, 9.99951e-10L, 4, "   1.000E-09"},
      {12, 1.5e38L, 4, "   1.500E+38"},
      {12, 1e-100L, 4, "  1.000E-100"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    TReportText report;
    report.WriteNumberIn(row.Width, row.Value, row.Digits);
    EXPECT_EQ(report.Text(), row.Text);
  }
}

TEST(WriteNumberTrimmed, WritesNoSpacesAndNothingForTheEmptyMarker) {
  EXPECT_EQ(Written([](TReportText& r) { r.WriteNumberTrimmed(3.14159L, 2); }), "3.14");
  EXPECT_EQ(Written([](TReportText& r) { r.WriteNumberTrimmed(EmptyValue, 2); }), "");
  EXPECT_EQ(Written([](TReportText& r) { r.WriteNumberTrimmed(7.0L, 0); }), "7");
}

TEST(WriteNumber, NonFiniteValuesWriteNothingAndAreFlagged) {
  TReportText report;
  report.WriteNumber(std::numeric_limits<TReal>::quiet_NaN(), -5);
  report.WriteNumberIn(8, std::numeric_limits<TReal>::infinity(), 2);
  EXPECT_EQ(report.Text(), "");
  EXPECT_TRUE(report.SawNonFinite());
}

TEST(StringHelpers, PadAndCenter) {
  EXPECT_EQ(PadRight("  ab \t", 5), "ab   ");
  EXPECT_EQ(PadLeft(" ab", 5), "   ab");
  EXPECT_EQ(PadLeft("abcdef", 3), "abcdef");
  EXPECT_EQ(CenterText("ab", 7), "  ab   ");
  EXPECT_EQ(CenterText(" ab", 6), "  ab  ");  // blanks already there stay
  EXPECT_EQ(CenterText("abcdef", 3), "abcdef");
  EXPECT_EQ(PadRight("x", 200).size(), 80u);
}

}  // namespace
}  // namespace ombrel
