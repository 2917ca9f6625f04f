#include <gtest/gtest.h>

#include "core/entry/IntFieldText.h"

namespace ombrel {
namespace {

TEST(ParseIntFieldText, ReadsSignedWholeNumbersAndRefusesTheRest) {
  struct Row {
    const char* Text;
    TIntFieldStatus Status;
    TReal Value;
  };
  const Row rows[] = {
      {"", TIntFieldStatus::Empty, EmptyValue},
      {"   ", TIntFieldStatus::Empty, EmptyValue},
      {" 12 ", TIntFieldStatus::Valid, 12},
      {"+7", TIntFieldStatus::Valid, 7},
      {"-0", TIntFieldStatus::Valid, 0},
      {"-15", TIntFieldStatus::Valid, -15},
      {"2147483647", TIntFieldStatus::Valid, 2147483647},
      {"-2147483648", TIntFieldStatus::Valid, -2147483648.0L},
      {"2147483648", TIntFieldStatus::OutOfRange, EmptyValue},
      {"9999999999", TIntFieldStatus::OutOfRange, EmptyValue},
      {"+", TIntFieldStatus::NotValid, EmptyValue},
      {"1-2", TIntFieldStatus::NotValid, EmptyValue},
      {"--3", TIntFieldStatus::NotValid, EmptyValue},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Text);
    const TIntFieldValue value = ParseIntFieldText(row.Text);
    EXPECT_EQ(value.Status, row.Status);
    EXPECT_EQ(value.Value, row.Value);
  }
}

TEST(IntFieldText, WritesCountsAndLeavesMissingOnesEmpty) {
  EXPECT_EQ(IntFieldText(EmptyValue), "");
  EXPECT_EQ(IntFieldText(42), "42");
  EXPECT_EQ(IntFieldText(-3), "-3");
}

}  // namespace
}  // namespace ombrel
