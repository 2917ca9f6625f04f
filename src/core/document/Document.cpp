#include "core/document/Document.h"

#include "core/analysis/ChooseTest.h"
#include "core/document/DocumentAnalysis.h"
#include "core/stats/ColumnStats.h"

namespace ombrel {

TDocument::TDocument() { ResetForNewDocument(); }

void TDocument::ResetForNewDocument() {
  Table.ResetForNewDocument();
  TwoByTwo.Reset();
  Choices = TTestChoices{};
  Format = TDataFormat::Raw;
  Family = TTestFamily::CompareMeans;
  MeanIsSD = 1;
  Step = TStep::DataFormat;
  Report.ResetReport();
  Regression = TRegressionOutputs{};
  MultipleRegressionResults = TMultipleRegressionOutputs{};
  Results = TReportResults{};
  SelectedPairsInUse = 1;
  GraphByColumns = 1;
  GraphAnalyzedOnly = 0;
  GraphXVariable = 'A';
  GraphYVariable = 'B';
  MarkChanged();
}

void TDocument::ChooseFamily(TTestFamily family) {
  Family = family;
  ChooseFormat(DefaultFormat(family));
}

bool TDocument::ChooseFormat(TDataFormat format) {
  if (IsAveragedFormat(format) && Table.HasData()) return false;
  MarkChanged();
  Format = format;
  Family = FamilyOfFormat(format);
  switch (format) {
    case TDataFormat::MeanSdN:
      MeanIsSD = 1;
      break;
    case TDataFormat::MeanSemN:
      MeanIsSD = 0;
      break;
    case TDataFormat::Raw:
      Table.ColumnChanged.fill(1);
      break;
    case TDataFormat::MultipleRegression:
      Table.ColumnChanged.fill(1);
      for (int c = 0; c < MaxColumns; ++c) {
        if (Table.MeanEntryColumn[static_cast<std::size_t>(c)] != 1) continue;
        TColumnSummary& summary = Table.Summary(c);
        summary.Mean = EmptyValue;
        summary.SD = EmptyValue;
        summary.SEM = EmptyValue;
      }
      break;
    case TDataFormat::TwoByTwo:
      // The first two rows of columns A and B, read down the columns.
      if (Table.HasData() && TwoByTwo.AllCountsEmpty()) {
        TwoByTwo.A = Table.GetValue(0, 0);
        TwoByTwo.B = Table.GetValue(1, 0);
        TwoByTwo.C = Table.GetValue(0, 1);
        TwoByTwo.D = Table.GetValue(1, 1);
      }
      break;
    case TDataFormat::XY:
      // Dropped here, as part of choosing the format, undo gives the titles
      // back with the old format.
      KeepFormatTitles();
      break;
    case TDataFormat::LargerTable:
      break;
  }
  // Summaries computed from the values now, not at the next step: what the
  // recomputation takes away (an N typed without a mean) is then part of
  // this change, and undoing the format gives it back.
  if (format == TDataFormat::Raw || format == TDataFormat::MultipleRegression) RefreshSummaries();
  return true;
}

void TDocument::KeepFormatTitles() {
  if (Format != TDataFormat::XY) return;
  for (int c = XYTitledColumns; c < MaxColumns; ++c) Table.Summary(c).Title.clear();
}

void TDocument::RefreshSummaries() {
  // Summaries describe whole columns, whatever the last analysis selected.
  Table.UseColumnSelection = 0;
  RefreshColumnSummaries(Table);
}

void TDocument::UpdateChooseTestState() {
  if (Format == TDataFormat::Raw) RefreshSummaries();
  if (IsCompareMeansFormat(Format)) {
    UpdateColumnChoices(Table, Choices);
  } else if (Format == TDataFormat::MultipleRegression) {
    RefreshSummaries();
    UpdateMultipleRegressionChoices(Table, Choices);
  }
}

bool TDocument::EnterStep(TStep step, TCalcProgress& progress) {
  Step = step;
  switch (step) {
    case TStep::DataFormat:
      if (IsAveragedFormat(Format) && Table.HasData()) ChooseFormat(TDataFormat::Raw);
      break;
    case TStep::DataEntry:
      KeepFormatTitles();
      break;
    case TStep::ColumnStats:
      // The XY and larger-table analyses zero every N, so XY summaries are
      // computed afresh.
      if (Format == TDataFormat::XY) Table.ColumnChanged.fill(1);
      if (Format == TDataFormat::Raw || Format == TDataFormat::XY || Format == TDataFormat::MultipleRegression)
        RefreshSummaries();
      break;
    case TStep::ChooseTest:
      UpdateChooseTestState();
      if (IsCompareMeansFormat(Format)) {
        KeepOrChooseControlColumn(Table, Choices);
        if (ApplyChoiceAvailability(Choices, ChoiceAvailability(Table, Format))) MarkChanged();
      }
      break;
    case TStep::Results:
      if (ResultsStale) {
        RunAnalysis(*this, progress);
        return true;
      }
      break;
    case TStep::Graph:
    case TStep::Loading:
      break;
  }
  return false;
}

}  // namespace ombrel
