#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/GoldenReport.h"
#include "core/base/FileText.h"
#include "core/document/DocumentFile.h"

namespace ombrel {
namespace {

std::string Written(const TDocument& document) {
  std::ostringstream out;
  WriteDocument(out, document);
  return out.str();
}

TDocument ReadBack(const std::string& text) {
  TDocument document;
  std::istringstream in(text);
  const TFileOutcome outcome = ReadDocument(in, document);
  EXPECT_TRUE(outcome.Ok()) << outcome.Message;
  return document;
}

// Fills a document with something in every field the layouts store.
void FillRawTable(TDataTable& table) {
  const TReal values[][3] = {{1.5L, 12345678.0L, 0.00001L}, {-2.5e-5L, 1.0L / 3, 1.5e38L}, {EmptyValue, 7.0L, 0.5L}};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      if (!IsEmpty(values[r][c])) {
        table.LearnDecimals(c, values[r][c]);
        table.MeanEntryColumn[static_cast<std::size_t>(c)] = 0;
        table.SetValue(r, c, values[r][c]);
      }
  table.SetExcluded(1, 1, true);
  table.SetRowTitle(2, "Control");
  table.SetTitle("A data set, with a comma");
  table.Summary(0).Title = "Before";
  table.Summary(1).Title = "After treatment";
  table.UserDecimals[2] = 3;
}

void ExpectSameTable(const TDataTable& a, const TDataTable& b) {
  EXPECT_EQ(a.Title(), b.Title());
  EXPECT_EQ(a.LastRow(), b.LastRow());
  EXPECT_EQ(a.LastColumn(), b.LastColumn());
  for (int r = 0; r <= a.LastRow(); ++r)
    for (int c = 0; c <= a.LastColumn(); ++c) {
      SCOPED_TRACE(testing::Message() << "cell " << r << "," << c);
      EXPECT_EQ(a.GetValue(r, c), b.GetValue(r, c));
      EXPECT_EQ(a.IsExcluded(r, c), b.IsExcluded(r, c));
    }
  for (int r = 0; r < MaxRows; ++r) EXPECT_EQ(a.RowTitle(r), b.RowTitle(r));
  for (int c = 0; c < MaxColumns; ++c) {
    SCOPED_TRACE(testing::Message() << "column " << c);
    EXPECT_EQ(a.Summary(c).Title, b.Summary(c).Title);
    EXPECT_EQ(a.UserDecimals[static_cast<std::size_t>(c)], b.UserDecimals[static_cast<std::size_t>(c)]);
  }
}

TEST(DocumentFile, RawDataRoundTripKeepsEveryValueAndChoice) {
  TDocument document;
  FillRawTable(document.Table);
  document.Table.Summary(0).N = 3;
  document.Table.Summary(0).Mean = 2.25L;
  document.Table.Summary(0).NormalityKS = 0.125L;
  document.Table.Summary(0).NormalityP = 0.5L;
  document.Table.Summary(0).PassedNormality = 1;
  document.Table.ColumnSelected[4] = 0;
  document.Notes = "First line\r\nSecond, with ,commas\r\n\r\nafter a blank";
  TTestChoices& choices = document.Choices;
  choices.ColumnCountKind = TColumnCountKind::Two;
  choices.OneColumnTest = TOneColumnTest::Wilcoxon;
  choices.HypotheticalMean = 100.25L;
  choices.HypotheticalMeanChoice = THypotheticalMeanChoice::Typed;
  choices.TwoColumnUnpaired = 0;
  choices.EqualSDs = 0;
  choices.PostTestMethod = TPostTestMethod::StudentNewmanKeuls;
  choices.PairSelected[5] = 0;
  choices.PairSelected[351] = 0;
  choices.AllColumns = 0;

  const TDocument back = ReadBack(Written(document));
  ExpectSameTable(document.Table, back.Table);
  EXPECT_EQ(back.Format, TDataFormat::Raw);
  EXPECT_EQ(back.Notes, document.Notes);
  EXPECT_EQ(back.Table.Summary(0).N, 3);
  EXPECT_EQ(back.Table.Summary(0).Mean, 2.25L);
  EXPECT_EQ(back.Table.Summary(0).NormalityKS, 0.125L);
  EXPECT_EQ(back.Table.Summary(0).PassedNormality, 1);
  EXPECT_EQ(back.Table.ColumnSelected[4], 0);
  EXPECT_EQ(back.Table.MeanEntryColumn[0], 0);
  EXPECT_EQ(back.Table.MeanEntryColumn[5], 1);
  EXPECT_EQ(back.Choices.ColumnCountKind, TColumnCountKind::Two);
  EXPECT_EQ(back.Choices.OneColumnTest, TOneColumnTest::Wilcoxon);
  EXPECT_EQ(back.Choices.HypotheticalMean, 100.25L);
  EXPECT_EQ(back.Choices.HypotheticalMeanChoice, THypotheticalMeanChoice::Typed);
  EXPECT_EQ(back.Choices.TwoColumnUnpaired, 0);
  EXPECT_EQ(back.Choices.EqualSDs, 0);
  EXPECT_EQ(back.Choices.PostTestMethod, TPostTestMethod::StudentNewmanKeuls);
  EXPECT_EQ(back.Choices.PairSelected, document.Choices.PairSelected);
  EXPECT_EQ(back.Choices.AllColumns, 0);
  EXPECT_EQ(back.Choices.LastColumnCount, 1);
}

// A number outside a choice's list, as a hand-edited or foreign file may
// hold, is read as it stands and written back unchanged.
TEST(DocumentFile, ChoiceNumbersOutsideTheListsSurviveARoundTrip) {
  struct TRow {
    TDataFormat Format;
    void (*Set)(TTestChoices&);
  };
  const TRow rows[] = {
      {TDataFormat::Raw,
       [](TTestChoices& c) {
         c.ColumnCountKind = static_cast<TColumnCountKind>(7);
         c.OneColumnTest = static_cast<TOneColumnTest>(-3);
         c.HypotheticalMeanChoice = static_cast<THypotheticalMeanChoice>(12);
         c.PostTestCondition = static_cast<TPostTestCondition>(5);
         c.PairSet = static_cast<TPairSet>(9);
         c.PostTestMethod = static_cast<TPostTestMethod>(42);
       }},
      {TDataFormat::TwoByTwo, [](TTestChoices& c) { c.UseChiSquare = static_cast<TTwoByTwoTest>(3); }},
      {TDataFormat::XY, [](TTestChoices& c) { c.RegressionKind = static_cast<TRegressionKind>(8); }},
  };
  for (const TRow& row : rows) {
    SCOPED_TRACE(static_cast<int>(row.Format));
    TDocument document;
    document.Format = row.Format;
    row.Set(document.Choices);
    const std::string text = Written(document);
    const TDocument back = ReadBack(text);
    TTestChoices expected;
    row.Set(expected);
    EXPECT_EQ(back.Choices.ColumnCountKind,
              row.Format == TDataFormat::Raw ? expected.ColumnCountKind : TTestChoices{}.ColumnCountKind);
    EXPECT_EQ(back.Choices.PostTestMethod, expected.PostTestMethod);
    EXPECT_EQ(back.Choices.UseChiSquare, expected.UseChiSquare);
    EXPECT_EQ(back.Choices.RegressionKind, expected.RegressionKind);
    EXPECT_EQ(Written(back), text);
  }
}

TEST(DocumentFile, RawDataLayoutLines) {
  TDocument document;
  document.Table.SetValue(0, 0, 0.5L);
  document.Table.AutoDecimals[0] = 3;
  document.Table.SetValue(1, 1, 0.00001L);
  document.Table.SetRowTitle(2, "Control");
  const auto lines = test::CrLfLines(Written(document));
  EXPECT_EQ(lines[0], "Quillvex Ombrel for Windows Version 3.00, 32 bit for Win 95/NT");
  EXPECT_EQ(lines[1], "2.00");
  EXPECT_EQ(lines[2], "1");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[6], "");  // the title
  EXPECT_EQ(lines[7], "0.500,*,");
  EXPECT_EQ(lines[8], "*, 1.000E-05,");
  EXPECT_EQ(lines[9], "<<END RAW DATA>>");
  bool found = false;
  for (const std::string& line : lines) found = found || line == "2     Control";
  EXPECT_TRUE(found);
}

TEST(DocumentFile, EmptyRawTableStillWritesOneRow) {
  TDocument document;
  const auto lines = test::CrLfLines(Written(document));
  EXPECT_EQ(lines[7], "*,");
  EXPECT_EQ(lines[8], "<<END RAW DATA>>");
}

TEST(DocumentFile, AveragedDataRoundTrip) {
  TDocument document;
  document.Format = TDataFormat::MeanSemN;
  document.Family = TTestFamily::CompareMeans;
  document.MeanIsSD = 0;
  TColumnSummary& a = document.Table.Summary(0);
  a.Title = "Typed";
  a.N = 12;
  a.Mean = 10;
  a.SEM = 0.5L;
  a.SD = 1.7320508075688772935L;
  a.LowerCI = 8.9L;
  a.UpperCI = 11.1L;
  document.Notes = "note";
  const std::string text = Written(document);
  EXPECT_EQ(test::CrLfLines(text)[2], "3");
  const TDocument back = ReadBack(text);
  EXPECT_EQ(back.Format, TDataFormat::MeanSemN);
  EXPECT_EQ(back.MeanIsSD, 0);
  EXPECT_FALSE(back.Table.HasData());
  const TColumnSummary& b = back.Table.Summary(0);
  EXPECT_EQ(b.Title, "Typed");
  EXPECT_EQ(b.N, 12);
  EXPECT_EQ(b.Mean, 10);
  EXPECT_EQ(b.SEM, 0.5L);
  EXPECT_EQ(b.SD, a.SD);
  EXPECT_EQ(b.LowerCI, 8.9L);
  EXPECT_TRUE(IsEmpty(b.Median));
  EXPECT_EQ(back.Notes, "note");
}

TEST(DocumentFile, TwoByTwoRoundTripAndOldChoices) {
  TDocument document;
  document.Format = TDataFormat::TwoByTwo;
  document.Family = TTestFamily::Contingency;
  document.TwoByTwo.A = 5;
  document.TwoByTwo.B = 12;
  document.TwoByTwo.C = 0;
  document.TwoByTwo.Titles = {"Sick", "Well", "Exposed", "Not exposed"};
  document.Table.SetTitle("Outbreak");
  document.Choices.UseChiSquare = TTwoByTwoTest::ChiSquare;
  document.Choices.Yates = 0;
  document.Choices.ReportSensitivity = 1;
  const std::string text = Written(document);
  const TDocument back = ReadBack(text);
  EXPECT_EQ(back.Format, TDataFormat::TwoByTwo);
  EXPECT_EQ(back.TwoByTwo.A, 5);
  EXPECT_EQ(back.TwoByTwo.C, 0);
  EXPECT_TRUE(IsEmpty(back.TwoByTwo.D));
  EXPECT_EQ(back.TwoByTwo.Titles, document.TwoByTwo.Titles);
  EXPECT_EQ(back.Table.Title(), "Outbreak");
  EXPECT_EQ(back.Choices.UseChiSquare, TTwoByTwoTest::ChiSquare);
  EXPECT_EQ(back.Choices.Yates, 0);
  EXPECT_EQ(back.Choices.ReportSensitivity, 1);

  // A stored 2 means Fisher's test; relative risk pulls in the difference.
  auto lines = test::CrLfLines(text);
  lines[6] = "2";
  lines[9] = "T";   // relative risk
  lines[11] = "F";  // risk difference
  std::string old;
  for (const auto& line : lines) old += line + "\r\n";
  const TDocument older = ReadBack(old);
  EXPECT_EQ(older.Choices.UseChiSquare, TTwoByTwoTest::Fisher);
  EXPECT_EQ(older.Choices.ReportRelativeRisk, 1);
  EXPECT_EQ(older.Choices.ReportRiskDifference, 1);
}

TEST(DocumentFile, XYRoundTripAndFileWithoutUnknownsLine) {
  TDocument document;
  document.Format = TDataFormat::XY;
  document.Family = TTestFamily::Regression;
  FillRawTable(document.Table);
  document.Choices.ForceThrough = 1;
  document.Choices.ForceX = -1.5L;
  document.Choices.RegressionKind = TRegressionKind::Spearman;
  document.Choices.InterpolateUnknowns = 0;
  const std::string text = Written(document);
  const TDocument back = ReadBack(text);
  ExpectSameTable(document.Table, back.Table);
  EXPECT_EQ(back.Choices.ForceThrough, 1);
  EXPECT_EQ(back.Choices.ForceX, -1.5L);
  EXPECT_EQ(back.Choices.RegressionKind, TRegressionKind::Spearman);
  EXPECT_EQ(back.Choices.InterpolateUnknowns, 0);

  std::string older = text;
  const std::string unknowns = "\r\nF\r\n<<END CHOICES>>";
  older.replace(older.find(unknowns), unknowns.size(), "\r\n<<END CHOICES>>");
  const TDocument fromOlder = ReadBack(older);
  EXPECT_EQ(fromOlder.Choices.InterpolateUnknowns, TTestChoices{}.InterpolateUnknowns);
  ExpectSameTable(document.Table, fromOlder.Table);
}

TEST(DocumentFile, LargerTableAndMultipleRegressionRoundTrips) {
  TDocument table;
  table.Format = TDataFormat::LargerTable;
  FillRawTable(table.Table);
  table.Table.Summary(1).N = 3;
  const TDocument tableBack = ReadBack(Written(table));
  EXPECT_EQ(tableBack.Format, TDataFormat::LargerTable);
  ExpectSameTable(table.Table, tableBack.Table);
  EXPECT_EQ(tableBack.Table.Summary(1).N, 3);

  TDocument multiple;
  multiple.Format = TDataFormat::MultipleRegression;
  FillRawTable(multiple.Table);
  multiple.Choices.MultipleRegression = 0;
  multiple.Choices.DependentColumn = 2;
  multiple.Choices.IndependentSelected[1] = 0;
  multiple.GraphAnalyzedOnly = 1;
  multiple.GraphXVariable = 'C';
  multiple.GraphYVariable = '*';
  const std::string text = Written(multiple);
  EXPECT_EQ(test::CrLfLines(text)[1], "3.00");
  EXPECT_EQ(test::CrLfLines(text)[3], "1");
  const TDocument back = ReadBack(text);
  EXPECT_EQ(back.Format, TDataFormat::MultipleRegression);
  // No decimals section in this layout.
  TDataTable expected = multiple.Table;
  expected.UserDecimals.fill(-1);
  ExpectSameTable(expected, back.Table);
  EXPECT_EQ(back.Choices.MultipleRegression, 0);
  EXPECT_EQ(back.Choices.DependentColumn, 2);
  EXPECT_EQ(back.Choices.IndependentSelected, multiple.Choices.IndependentSelected);
  EXPECT_EQ(back.GraphAnalyzedOnly, 1);
  EXPECT_EQ(back.GraphXVariable, 'C');
  EXPECT_EQ(back.GraphYVariable, '*');
}

TEST(DocumentFile, RefusesUnknownFormatsAndNewerVersions) {
  struct Row {
    const char* Version;
    const char* Code;
    TFileResult Expected;
  };
  const Row rows[] = {
      {"2.00", "9", TFileResult::NotOmbrelFile},
      {"2.00", "x", TFileResult::NotOmbrelFile},
      // An accepted header without its layout is a file cut short.
      {"3.5", "1", TFileResult::NewerVersion},
      {"3.0", "1", TFileResult::Incomplete},
      {"3.00", "6", TFileResult::Incomplete},
      {"2.00", "0", TFileResult::NotOmbrelFile},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.Version << " " << row.Code);
    std::istringstream in(std::string("header\r\n") + row.Version + "\r\n" + row.Code + "\r\n\r\n\r\n\r\n");
    TDocument document;
    const TFileOutcome outcome = ReadDocument(in, document);
    EXPECT_EQ(outcome.Result, row.Expected);
    if (row.Expected == TFileResult::NotOmbrelFile) {
      EXPECT_EQ(outcome.Message, NotOmbrelFileMessage);
    }
    if (row.Expected == TFileResult::NewerVersion) {
      EXPECT_EQ(outcome.Message, NewerVersionMessage);
    }
  }
}

// Only a document's header earns the later-version message: a file of data
// whose second and third lines read as a version and a format code is not
// an Ombrel file at all.
TEST(DocumentFile, TellsDataFilesFromDocumentsOfALaterVersion) {
  struct Row {
    const char* Name;
    std::string Text;
    TFileResult Expected;
  };
  const Row rows[] = {
      {"a later document", "Quillvex Ombrel for Windows Version 4.00\r\n4.00\r\n1\r\n\r\n\r\n\r\n",
       TFileResult::NewerVersion},
      {"a later multiple regression", "x\r\n4.00\r\n1\r\n1\r\n\r\n\r\n", TFileResult::NewerVersion},
      {"one column of numbers", "weight\n72\n1\n2\n3\n4\n", TFileResult::NotOmbrelFile},
      {"numbers with a title", "dose,weight\n5,70\n1\n3\n\n\n", TFileResult::NotOmbrelFile},
      {"a version that is no number", "a,b\nx,y\n1\n\n\n\n", TFileResult::NotOmbrelFile},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Name);
    std::istringstream in(row.Text);
    TDocument document;
    EXPECT_EQ(ReadDocument(in, document).Result, row.Expected);
  }
}

TEST(DocumentFile, HostileInputIsReadWithoutHarm) {
  const std::string header = "h\r\n2.00\r\n1\r\n\r\n\r\n\r\ntitle\r\n";
  std::string manyRows = header;
  for (int r = 0; r < 3000; ++r)
    manyRows += "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,\r\n";
  manyRows += "<<END RAW DATA>>\r\n";
  const std::string inputs[] = {
      header,                                                   // ends after the title
      header + "1e999,nan,inf,-,1e38,\r\n",                     // numbers out of range
      manyRows,                                                 // rows beyond the table
      header + std::string(200000, ',') + "\r\n",               // a very long line
      std::string("h\r\n2.00\r\n5\r\n\r\n\r\n\r\n"),            // 2x2 file cut short
      std::string("h\r\n2.00\r\n6\r\n\r\n\r\n\r\nt\r\nT\r\n"),  // XY file cut short
      std::string("\x01\x02\xff\r\n\r\n\r\n", 9),               // binary garbage
  };
  for (const std::string& input : inputs) {
    TDocument document;
    std::istringstream in(input);
    (void)ReadDocument(in, document);
    EXPECT_LE(document.Table.LastRow(), MaxRows - 1);
    EXPECT_LE(document.Table.LastColumn(), MaxColumns - 1);
  }
  TDocument document;
  std::istringstream in(manyRows);
  ASSERT_EQ(ReadDocument(in, document).Result, TFileResult::Incomplete);
  EXPECT_EQ(document.Table.LastRow(), 1000);
  EXPECT_EQ(document.Table.LastColumn(), 25);
  EXPECT_EQ(document.Table.GetValue(1000, 25), 26);
}

class DocumentFileOnDisk : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/ombrel-file-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    mFolder = pattern;
  }
  void TearDown() override { [[maybe_unused]] const int status = std::system(("rm -rf '" + mFolder + "'").c_str()); }
  std::string mFolder;
};

TEST_F(DocumentFileOnDisk, SaveThenOpenMakesTheDocumentReadyToShow) {
  TDocument document;
  FillRawTable(document.Table);
  const std::string path = mFolder + "/data.omd";
  ASSERT_TRUE(SaveDocumentFile(path, document).Ok());
  TDocument opened;
  ASSERT_TRUE(OpenDocumentFile(path, opened).Ok());
  EXPECT_EQ(opened.Step, TStep::DataEntry);
  EXPECT_TRUE(opened.ResultsStale);
  EXPECT_EQ(opened.Table.Summary(0).N, 2);  // recomputed from the values

  // A larger table saved before its counts caught up with the last value typed.
  TDocument counts;
  counts.Format = TDataFormat::LargerTable;
  FillRawTable(counts.Table);
  ASSERT_TRUE(SaveDocumentFile(path, counts).Ok());
  TDocument openedCounts;
  ASSERT_TRUE(OpenDocumentFile(path, openedCounts).Ok());
  EXPECT_EQ(openedCounts.Table.Summary(0).N, 2);

  TDocument averaged;
  averaged.Format = TDataFormat::MeanSdN;
  ASSERT_TRUE(SaveDocumentFile(path, averaged).Ok());
  TDocument openedAveraged;
  ASSERT_TRUE(OpenDocumentFile(path, openedAveraged).Ok());
  EXPECT_EQ(openedAveraged.Step, TStep::ColumnStats);
  EXPECT_EQ(openedAveraged.Table.MeanEntryColumn[0], 1);
}

TEST_F(DocumentFileOnDisk, AFailedSaveKeepsTheOldFileAndSaysWhy) {
  TDocument document;
  FillRawTable(document.Table);
  const std::string path = mFolder + "/keep.omd";
  ASSERT_TRUE(SaveDocumentFile(path, document).Ok());
  std::ifstream before(path, std::ios::binary);
  const std::string original((std::istreambuf_iterator<char>(before)), std::istreambuf_iterator<char>());
  if (::geteuid() != 0) {
    ::chmod(mFolder.c_str(), 0500);  // the folder can no longer take the temporary file
    TDocument other;
    const TFileOutcome outcome = SaveDocumentFile(path, other);
    ::chmod(mFolder.c_str(), 0700);
    EXPECT_EQ(outcome.Result, TFileResult::IoError);
    EXPECT_EQ(outcome.Message, "Could not save " + path + ": Permission denied.");
  }
  const TFileOutcome missing = SaveDocumentFile(mFolder + "/no/such/folder/x.omd", document);
  EXPECT_EQ(missing.Message, "Could not save " + mFolder + "/no/such/folder/x.omd: No such file or directory.");
  std::ifstream after(path, std::ios::binary);
  const std::string kept((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, original);

  TDocument none;
  EXPECT_EQ(OpenDocumentFile(mFolder + "/absent.omd", none).Message,
            "Could not open " + mFolder + "/absent.omd: No such file or directory.");
}

}  // namespace
}  // namespace ombrel

namespace ombrel {
namespace {

TEST(DocumentFile, ExampleDocumentsOpenAndRoundTrip) {
  for (const char* name : {"paired-t.omd", "standard-curve.omd", "two-by-two.omd"}) {
    SCOPED_TRACE(name);
    TDocument document;
    ASSERT_TRUE(OpenDocumentFile(std::string(OMBREL_EXAMPLES_DIR) + "/" + name, document).Ok());
    std::ifstream in(std::string(OMBREL_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    const std::string original((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TDocument read;
    std::istringstream text(original);
    ASSERT_TRUE(ReadDocument(text, read).Ok());
    EXPECT_EQ(Written(read), original);
  }
}

// Every cut of an example short of the whole file, after one of its lines
// or just before a line's end, reads as incomplete; a cut after a line keeps
// the values the complete file has there.
TEST(DocumentFile, ExamplesCutAfterAnyLineReadAsIncomplete) {
  for (const char* name : {"paired-t.omd", "standard-curve.omd", "two-by-two.omd"}) {
    std::ifstream in(std::string(OMBREL_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TDocument complete;
    std::istringstream wholeText(whole);
    ASSERT_TRUE(ReadDocument(wholeText, complete).Ok()) << name;
    // Up to the format code's line the file is no Ombrel file at all.
    const std::size_t codeLine = whole.find('\n', whole.find('\n') + 1) + 1;
    for (std::size_t end = whole.find('\n'); end + 1 < whole.size(); end = whole.find('\n', end + 1)) {
      for (const std::size_t cut : {end, end + 1}) {
        SCOPED_TRACE(testing::Message() << name << " cut at byte " << cut);
        TDocument document;
        std::istringstream text(whole.substr(0, cut));
        const TFileOutcome outcome = ReadDocument(text, document);
        if (cut <= codeLine) {
          EXPECT_EQ(outcome.Result, TFileResult::NotOmbrelFile);
          continue;
        }
        ASSERT_EQ(outcome.Result, TFileResult::Incomplete);
        EXPECT_EQ(outcome.Message, IncompleteDocumentMessage("The file"));
        EXPECT_EQ(document.Format, complete.Format);
        if (cut == end) continue;  // the last value may be cut in two
        for (int r = 0; r <= document.Table.LastRow(); ++r)
          for (int c = 0; c <= document.Table.LastColumn(); ++c) {
            if (!IsEmpty(document.Table.GetValue(r, c))) {
              EXPECT_EQ(document.Table.GetValue(r, c), complete.Table.GetValue(r, c));
            }
          }
      }
    }
  }
}

TEST_F(DocumentFileOnDisk, AnIncompleteFileOpensReadyAndNamedInTheMessage) {
  std::ifstream in(std::string(OMBREL_EXAMPLES_DIR) + "/paired-t.omd", std::ios::binary);
  std::string cut, line;
  for (int count = 0; count < 12 && std::getline(in, line); ++count) cut += line + '\n';
  std::ofstream(mFolder + "/cut.omd", std::ios::binary) << cut;
  TDocument document;
  const TFileOutcome outcome = OpenDocumentFile(mFolder + "/cut.omd", document);
  EXPECT_EQ(outcome.Result, TFileResult::Incomplete);
  EXPECT_EQ(outcome.Message,
            "cut.omd ended early: the document may be incomplete. It is opened as a new, unsaved copy.");
  EXPECT_EQ(document.Table.LastRow(), 4);
  EXPECT_EQ(document.Table.Summary(0).N, 5);  // recomputed from the rows read
  EXPECT_EQ(document.Step, TStep::DataEntry);
}

}  // namespace
}  // namespace ombrel

namespace ombrel {
namespace {

// Inputs the fuzzer once found troublesome: each must read (both are cut
// short), and what was
// read must write and read back to the same text.
TEST(DocumentFile, FuzzRegressionsRoundTrip) {
  for (const char* name : {"notes-ending-in-blank-line.omd", "averaged-file-with-raw-rows.omd"}) {
    SCOPED_TRACE(name);
    std::ifstream in(std::string(OMBREL_TEST_DATA_DIR) + "/fuzz-regressions/" + name, std::ios::binary);
    ASSERT_TRUE(in);
    const std::string input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TDocument first;
    std::istringstream text(input);
    ASSERT_TRUE(ReadDocument(text, first).Loaded());
    const std::string once = Written(first);
    EXPECT_EQ(Written(ReadBack(once)), once);
  }
}

TEST(DocumentFile, NotesKeepTheirLineBreaks) {
  for (const std::string notes : {"", "a", "a\r\n", "\r\n", "a\r\n\r\nb", "a\r\n\r\n"}) {
    SCOPED_TRACE(notes);
    TDocument document;
    document.Notes = notes;
    EXPECT_EQ(ReadBack(Written(document)).Notes, notes);
  }
}

TEST(DocumentFile, NotesLinesThatLookLikeTheEndMarkerSurvive) {
  // Such a line used to end the notes early: what followed it was read as
  // the next sections of the file.
  for (const std::string notes :
       {"<<END NOTES>>", "a\r\n<<END NOTES>>\r\nb", "  <<END NOTES>>  \r\nc", "<<END NOTES>>\\",
        "<<END NOTES>>\\\\\r\n<<END NOTES>>", "<<END NOTES>> \\", "x<<END NOTES>>", "<<END NOTES>>\\x"}) {
    SCOPED_TRACE(notes);
    TDocument document;
    document.Table.SetValue(0, 0, 4.5L);
    document.Notes = notes;
    const TDocument read = ReadBack(Written(document));
    EXPECT_EQ(read.Notes, notes);
    EXPECT_EQ(read.Table.GetValue(0, 0), 4.5L);
  }
}

}  // namespace
}  // namespace ombrel

namespace ombrel {
namespace {

// A file holding more than a document can keep opens with what fits and a
// message that names what was left out; rows past the table that hold
// nothing are no loss.
TEST(DocumentFile, OversizedFilesSayWhatWasLeftOut) {
  TDocument source;
  FillRawTable(source.Table);
  source.Notes = "A short note";
  const std::string written = Written(source);
  const auto insertBefore = [&written](std::string_view marker, const std::string& text) {
    std::string changed = written;
    changed.insert(changed.find(marker), text);
    return changed;
  };
  const auto rows = [](int count, const std::string& row) {
    std::string text;
    for (int i = 0; i < count; ++i) text += row + "\r\n";
    return text;
  };
  // The three rows written, then rows up to the table's last and past it.
  const std::string fillToLast = rows(MaxRows - 3, "9,");
  std::string longTitle = written;
  longTitle.replace(longTitle.find("\r\nBefore\r\n") + 2, 6, std::string(MaxColumnTitleLength + 5, 't'));
  struct TCase {
    const char* name;
    std::string text;
    TFileResult result;
    TLeftOut leftOut;
    std::string message;
  };
  const TCase cases[] = {
      {"1,000 rows past the last",
       insertBefore("<<END RAW DATA>>", fillToLast + rows(1000, "1,2,")),
       TFileResult::Oversized,
       {.Rows = 1000},
       "The file holds more than a document can keep; left out: 1,000 data rows after row 1,001. "
       "It is opened as a new, unsaved copy."},
      {"empty rows past the last",
       insertBefore("<<END RAW DATA>>", fillToLast + rows(5, "*,*,,")),
       TFileResult::Ok,
       {},
       ""},
      {"values after column Z",
       insertBefore("<<END RAW DATA>>", rows(1, std::string(26, ',') + "*,5,6,")),
       TFileResult::Oversized,
       {.Columns = 3},
       ""},
      {"a line too long",
       insertBefore("<<END RAW DATA>>", "1," + std::string(TLineReader::MaxLineLength, ' ') + "\r\n"),
       TFileResult::Oversized,
       {.LongLines = 1},
       ""},
      {"a column title too long", longTitle, TFileResult::Oversized, {.Titles = 1}, ""},
      {"notes too long",
       insertBefore("<<END NOTES>>", rows(1, std::string(9000, 'n'))),
       TFileResult::Oversized,
       {.Notes = true},
       ""},
      {"several at once",
       insertBefore("<<END RAW DATA>>", rows(1, std::string(27, ',') + "7,") + rows(MaxRows - 4, "9,") + "2,\r\n"),
       TFileResult::Oversized,
       {.Rows = 1, .Columns = 2},
       "The file holds more than a document can keep; left out: 1 data row after row 1,001 and values in 2 columns "
       "after column Z. It is opened as a new, unsaved copy."},
      {"rows past the last in a file that ends early",
       written.substr(0, written.find("<<END RAW DATA>>")) + fillToLast + rows(2, "3,"),
       TFileResult::Incomplete,
       {.Rows = 2},
       "The file ended early: the document may be incomplete. Left out as well: 2 data rows after row 1,001. "
       "It is opened as a new, unsaved copy."},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    TDocument document;
    std::istringstream in(c.text);
    const TFileOutcome outcome = ReadDocument(in, document);
    EXPECT_EQ(outcome.Result, c.result) << outcome.Message;
    EXPECT_EQ(outcome.LeftOut.Rows, c.leftOut.Rows);
    EXPECT_EQ(outcome.LeftOut.Columns, c.leftOut.Columns);
    EXPECT_EQ(outcome.LeftOut.LongLines, c.leftOut.LongLines);
    EXPECT_EQ(outcome.LeftOut.Titles, c.leftOut.Titles);
    EXPECT_EQ(outcome.LeftOut.Notes, c.leftOut.Notes);
    EXPECT_TRUE(outcome.Loaded());
    if (!c.message.empty()) {
      EXPECT_EQ(outcome.Message, c.message);
    }
    // What fits is kept.
    EXPECT_EQ(document.Table.GetValue(0, 0), 1.5L);
  }
}

TEST_F(DocumentFileOnDisk, AnOversizedFileIsNamedInTheMessage) {
  TDocument source;
  source.Table.SetValue(0, 0, 1);
  std::string text = Written(source);
  std::string extra;
  for (int r = 0; r < 2000; ++r) extra += "4,\r\n";
  text.insert(text.find("<<END RAW DATA>>"), extra);
  std::ofstream(mFolder + "/big.omd", std::ios::binary) << text;
  TDocument document;
  const TFileOutcome outcome = OpenDocumentFile(mFolder + "/big.omd", document);
  EXPECT_EQ(outcome.Result, TFileResult::Oversized);
  EXPECT_EQ(outcome.Message,
            "big.omd holds more than a document can keep; left out: 1,000 data rows after row 1,001. It is opened "
            "as a new, unsaved copy.");
  EXPECT_EQ(document.Table.Summary(0).N, MaxRows);
}

}  // namespace
}  // namespace ombrel
