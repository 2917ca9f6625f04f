#pragma once

#include <string>
#include <vector>

#include "core/base/DataTable.h"

namespace ombrel {

// Combine Variables: a column that holds no raw values receives, row by row,
// the sum, difference, product or quotient of two raw-data columns.

enum class TCombineOperator { Plus, Minus, Times, DividedBy };

// "+", "-", "*" or "/": the sign used in the new column's title.
char OperatorSymbol(TCombineOperator op);

// The column that receives the result: the current column when it holds no
// raw values (MeanEntryColumn set), else the first such column from A; -1
// when every column holds raw values.
int CombineTargetColumn(const TDataTable& table, int currentColumn);

// The columns that can be combined: those holding raw values
// (MeanEntryColumn clear), in column order.
std::vector<int> CombineSourceColumns(const TDataTable& table);

// A column's entry in the dialog's lists: "A: title", or "Column A" for an
// untitled column.
std::string CombineColumnItem(const TDataTable& table, int column);

// "Create a new variable for column " + letter.
std::string CombinePrompt(int targetColumn);

// The messages that stop the command before the dialog.
inline constexpr const char* CombineNoDataMessage = "You must enter data first.";
inline constexpr const char* CombineNoColumnMessage = "There must be an empty column in order to combine columns.";

// One row's result: the empty marker when a or b is empty, b is 0 for a
// division, or the result is not a finite number within the table's value
// range (+-1.5E38).
TReal CombineValue(TReal a, TReal b, TCombineOperator op);

// Fills the target column for every row from 0 to LastRow with
// first op second (StoreCellAdjusted, so the column's decimals follow);
// rows without a result stay empty. The target's title becomes, for
// example, "A-B". Answers how many values were stored.
int CombineColumns(TDataTable& table, int first, int second, TCombineOperator op, int target);

}  // namespace ombrel
