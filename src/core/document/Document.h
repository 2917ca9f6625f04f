#pragma once

#include <cstdint>
#include <string>

#include "core/base/DataTable.h"
#include "core/analysis/AnalysisRecord.h"
#include "core/analysis/RegressionOutputs.h"
#include "core/document/Steps.h"
#include "core/base/TestChoices.h"
#include "core/base/TwoByTwoTable.h"
#include "core/report/ReportText.h"

namespace ombrel {

class TCalcProgress;

// Where the notes window was last shown; all 0 until it has been.
struct TNotesWindowPlace {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t Top = 0;
  std::int32_t Left = 0;
};

// One open data set: its numbers, its choices, its step and its report.
// Plain public fields, as the windows and the document file read and write
// them; the methods hold the rules that tie them together. A new document
// is on step 0 with raw data chosen and every choice at its default.
class TDocument {
 public:
  TDocument();

  TDataTable Table;
  TTwoByTwoTable TwoByTwo;
  TTestChoices Choices;
  TDataFormat Format = TDataFormat::Raw;
  TTestFamily Family = TTestFamily::CompareMeans;
  // 1 when error bars and the summary page show SD, 0 for SEM.
  std::uint8_t MeanIsSD = 1;
  TStep Step = TStep::DataFormat;
  // Set by every change of data or choices; cleared once a report has been
  // computed from them.
  bool ResultsStale = true;
  // The notes text with CR LF line ends.
  std::string Notes;
  TNotesWindowPlace NotesWindow;
  TReportText Report;
  // The report's results as data (what `report --json` writes).
  TReportResults Results;
  // What the last analyses hand to the graph.
  TRegressionOutputs Regression;
  TMultipleRegressionOutputs MultipleRegressionResults;
  // The selected-pairs flag of the multi-column test, carried from one run
  // to the next where a choice leaves it unchanged.
  std::uint8_t SelectedPairsInUse = 1;
  // The report ends with the "Effect size and method" section: the
  // application's option, set on each document before its report is
  // computed (not kept in the document file).
  bool EffectSizes = false;
  // Graph settings.
  std::uint8_t GraphByColumns = 1;
  std::uint8_t GraphAnalyzedOnly = 0;
  // Raw data: each value drawn as a point over its column's bar (not kept
  // in the document file).
  std::uint8_t GraphShowValues = 0;
  char GraphXVariable = 'A';
  char GraphYVariable = 'B';  // '*' for the residuals

  // Every data edit and every choice handler calls this.
  void MarkChanged() { ResultsStale = true; }

  // A new document's state (also Clear All): table reset, 2x2 counts and
  // titles empty, choices at their defaults, raw data, step 0, no results.
  // The notes are kept.
  void ResetForNewDocument();

  // Choosing a goal on step 0 selects its default format.
  void ChooseFamily(TTestFamily family);
  // Choosing a data format: marks the results stale; mean/SD/N and
  // mean/SEM/N set MeanIsSD; raw data and multiple regression compute every
  // column summary afresh; the 2x2 format takes empty counts from the first two
  // rows of columns A and B; multiple regression empties typed means.
  // An averaged format is refused (false) while the table holds a value.
  bool ChooseFormat(TDataFormat format);

  // XY data keeps titles for X and the first Y only: erases the others.
  // Choosing XY, entering step 1 and every recorded edit apply it, so that a
  // title pasted or combined into a later column is not shown and then lost.
  void KeepFormatTitles();

  // Recomputes the column summaries that are out of date.
  void RefreshSummaries();
  // Brings the choose-test state up to date as entering step 3 does:
  // summaries, column selection and ColumnCountKind for the compare-means
  // formats, the dependent column for multiple regression.
  void UpdateChooseTestState();

  // Makes `step` the current step and runs its page-entry action: step 0
  // turns an averaged format into raw data once the table holds values;
  // step 1 erases the XY titles after the second column; step 2 refreshes
  // the summaries; step 3 updates the choose-test state and checks the
  // answers that disabled controls show; step 4 computes the report when
  // the results are stale. Returns whether a report was computed.
  bool EnterStep(TStep step, TCalcProgress& progress);
};

}  // namespace ombrel
