#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/base/EmptyValue.h"
#include "core/base/StatusCodes.h"

namespace ombrel {

inline constexpr int MaxRows = 1001;      // rows 0..1000; the grid shows 1000 of them
inline constexpr int MaxColumns = 26;     // columns A..Z
inline constexpr int ScratchColumn = 26;  // analysis column number of the scratch column

inline constexpr int MaxRowTitleLength = 10;
inline constexpr int MaxRowTitleHeadingLength = 80;
inline constexpr int MaxTableTitleLength = 255;
inline constexpr int MaxColumnTitleLength = 80;

// "A" for column 0 ... "Z" for column 25.
char ColumnLetter(int column);

// Per-column summary: the statistics of a raw column, or the typed mean, SD
// or SEM and N of an averaged one.
struct TColumnSummary {
  std::string Title;
  std::int32_t N = 0;
  TReal Mean = EmptyValue;
  TReal SD = EmptyValue;
  TReal SEM = EmptyValue;
  TReal Minimum = EmptyValue;
  TReal Maximum = EmptyValue;
  TReal Median = EmptyValue;
  TReal UpperCI = EmptyValue;
  TReal LowerCI = EmptyValue;
  TReal NormalityKS = EmptyValue;
  TReal NormalityP = EmptyValue;
  std::uint8_t PassedNormality = 0;

  // Resets the statistics but keeps the title.
  void ClearStatistics();

  bool operator==(const TColumnSummary&) const = default;
};

// A document's numbers: 1001 rows by 26 columns of extended values with
// exclude flags, row titles, column summaries, per-column decimals, the
// column selection and the column map through which analyses number columns.
class TDataTable {
 public:
  TDataTable();

  // Every cell empty, every exclude flag 0, extents 0, AutoDecimals 0.
  // UserDecimals, row titles, summaries and the title are kept.
  void Clear();
  // Resets all 26 summaries and selects every column.
  void ClearSummaries();
  // The state of a new document: Clear, ClearSummaries, empty title,
  // change flags 0, every column ready for typed means.
  void ResetForNewDocument();

  TReal GetValue(int row, int column) const { return mCells[Index(row, column)]; }
  // Stores a value; grows the extents, clears the exclude flag of an emptied
  // cell and marks the column changed. Never shrinks the extents.
  void SetValue(int row, int column, TReal value);
  // The shrinking step after an erase stored the empty marker at (row, column).
  void ShrinkExtentsAfterErase(int row, int column);

  bool IsCellEmpty(int row, int column) const { return IsEmpty(GetValue(row, column)); }
  bool IsRowEmpty(int row) const;
  bool IsColumnEmpty(int column) const;
  bool HasData() const;
  struct TExtents {
    int LastRow = 0;
    int LastColumn = 0;
  };
  TExtents FindExtents() const;
  // Moves the extents down to the last non-empty row and column; answers
  // whether the table is empty.
  bool RecalcExtents();
  int LastRow() const { return mLastRow; }
  int LastColumn() const { return mLastColumn; }
  // Averaged data has no cells, so a compare-means run raises the extent to
  // its last analysed column for the duration of the analysis.
  void SetLastColumn(int column) { mLastColumn = static_cast<int>(ColumnIndex(column)); }

  bool IsExcluded(int row, int column) const { return mExcluded[Index(row, column)] != 0; }
  // A flag can be set only on a non-empty cell; clearing is always allowed.
  void SetExcluded(int row, int column, bool excluded);
  void ExcludeAllFilled();
  void ClearExcludeFlags();

  // XY layout: column A is X, columns B.. are the Y replicates.
  TReal XValue(int row) const { return GetValue(row, 0); }

  // The one way analyses read values: excluded cells, unselected columns
  // (while UseColumnSelection is set) and empty cells all read as empty.
  // Analysis column 26 is the scratch column.
  TReal GetAnalysisValue(int row, int analysisColumn) const;
  void SetAnalysisValue(int row, int analysisColumn, TReal value);
  void ClearScratchColumn();

  int MapColumn(int analysisColumn) const;
  int LastMappedColumn() const;
  // Maps analysis columns 0.. onto the selected columns with N > 0.
  void BuildColumnMap();
  void ResetColumnMap();
  bool ColumnMapActive() const { return mColumnMapCount >= 0; }
  int ColumnMapCount() const { return mColumnMapCount; }

  const std::string& RowTitle(int row) const { return mRowTitles[RowIndex(row)]; }
  void SetRowTitle(int row, std::string_view text);
  const std::string& RowTitleHeading() const { return mRowTitleHeading; }
  void SetRowTitleHeading(std::string_view text);
  const std::string& Title() const { return mTitle; }
  void SetTitle(std::string_view text);

  TColumnSummary& Summary(int column) { return Summaries[ColumnIndex(column)]; }
  const TColumnSummary& Summary(int column) const { return Summaries[ColumnIndex(column)]; }

  // Learns the decimals of a column from a typed value (before SetValue).
  void LearnDecimals(int column, TReal value);
  // The same rule for a value read by text import (d + w <= 14).
  void LearnImportedDecimals(int column, TReal value);
  // The decimals a column is shown with: UserDecimals when set, else AutoDecimals.
  std::int32_t DisplayDecimals(int column) const;

  // Plain per-column fields and flags.
  std::array<TColumnSummary, MaxColumns> Summaries{};
  std::array<std::int32_t, MaxColumns> AutoDecimals{};
  std::array<std::int32_t, MaxColumns> UserDecimals{};
  std::array<std::uint8_t, MaxColumns> MeanEntryColumn{};
  std::array<std::uint8_t, MaxColumns> ColumnChanged{};
  std::array<std::uint8_t, MaxColumns> ColumnSelected{};
  std::uint8_t UseColumnSelection = 0;
  TStatusCode StatusCode = TStatusCode::Ok;

  // Every field, cells, flags, titles and extents included.
  bool operator==(const TDataTable&) const = default;

 private:
  // Records and restores the private fields for undo.
  friend class TTableChange;

  static std::size_t Index(int row, int column);
  static std::size_t RowIndex(int row);
  static std::size_t ColumnIndex(int column);

  std::vector<TReal> mCells;
  std::vector<std::uint8_t> mExcluded;
  std::vector<TReal> mScratch;
  std::vector<std::string> mRowTitles;
  std::string mRowTitleHeading;
  std::string mTitle;
  std::array<std::int32_t, MaxColumns + 1> mColumnMap{};
  std::int32_t mColumnMapCount = -1;
  int mLastRow = 0;
  int mLastColumn = 0;
  bool mEmpty = true;
};

// Shortest decimal text of a value ("3.125", "0.1", "-2"), no exponent for
// values that do not need scientific notation. Used for decimals learning.
std::string ShortestDecimalText(TReal value);

// True when a value is shown in scientific form: not 0 and |v| > 1E7 or
// |v| <= 1E-4.
bool NeedsScientific(TReal value);

}  // namespace ombrel
