#include "NistLre.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

#include "core/document/Document.h"
#include "core/document/DocumentFile.h"
#include "core/document/ReportData.h"
#include "core/document/ReportPrinter.h"
#include "core/report/JsonText.h"

namespace ombrel::lre {

namespace {

using nlohmann::json;

// ---------------------------------------------------------------------------
// The files

std::vector<std::string> Words(const std::string& line) {
  std::istringstream stream(line);
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

std::optional<long double> Number(const std::string& word) {
  long double value = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
  if (error != std::errc{} || end != word.data() + word.size()) return std::nullopt;
  return value;
}

// A NIST file: the lines of its certified values and its data rows, by the
// line ranges its header states ("Certified Values  (lines 31 to 51)",
// "Data            : lines 61 to 260").
struct TNistFile {
  std::vector<std::string> Certified;
  std::vector<std::vector<long double>> Rows;
};

bool LineRange(const std::string& line, std::string_view key, int& first, int& last) {
  const std::size_t at = line.find("lines");
  if (line.find(key) == std::string::npos || at == std::string::npos) return false;
  std::string rest = line.substr(at + 5);
  std::replace(rest.begin(), rest.end(), ')', ' ');
  const std::vector<std::string> words = Words(rest);
  if (words.size() < 3) return false;
  first = static_cast<int>(Number(words[0]).value_or(0));
  last = static_cast<int>(Number(words[2]).value_or(0));
  return first > 0 && last >= first;
}

std::optional<TNistFile> ReadNistFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  int certifiedFirst = 0, certifiedLast = 0, dataFirst = 0, dataLast = 0;
  for (std::size_t i = 0; i < lines.size() && i < 12; ++i) {
    LineRange(lines[i], "Certified Values", certifiedFirst, certifiedLast);
    if (lines[i].find("Certified") == std::string::npos) LineRange(lines[i], "Data", dataFirst, dataLast);
  }
  if (certifiedFirst == 0 || dataFirst == 0 || static_cast<std::size_t>(dataLast) > lines.size()) return std::nullopt;
  TNistFile file;
  // Up to the data: AtmWtAg's residual SD comes after its stated range.
  for (int i = certifiedFirst; i < dataFirst; ++i) file.Certified.push_back(lines[static_cast<std::size_t>(i - 1)]);
  for (int i = dataFirst; i <= dataLast; ++i) {
    std::vector<long double> row;
    for (const std::string& word : Words(lines[static_cast<std::size_t>(i - 1)]))
      if (const auto value = Number(word)) row.push_back(*value);
    if (!row.empty()) file.Rows.push_back(row);
  }
  return file;
}

// A certified value as NIST prints it.
struct TCertified {
  std::string Name;
  std::string Text;
  long double Value = 0;
  bool Infinite = false;
};

void AddCertified(std::vector<TCertified>& values, std::string name, const std::string& text) {
  TCertified value{std::move(name), text, 0, text == "Infinity"};
  if (!value.Infinite) value.Value = Number(text).value_or(0);
  values.push_back(std::move(value));
}

// Regression files: the estimates and their SDs, the residual SD, R² and
// the analysis of variance.
std::vector<TCertified> RegressionValues(const TNistFile& file) {
  std::vector<TCertified> values;
  for (const std::string& line : file.Certified) {
    const std::vector<std::string> w = Words(line);
    if (w.size() == 3 && w[0].size() >= 2 && w[0][0] == 'B' && Number(w[1])) {
      AddCertified(values, w[0], w[1]);
      AddCertified(values, "SE(" + w[0] + ")", w[2]);
    } else if (w.size() == 3 && w[0] == "Standard" && w[1] == "Deviation") {
      AddCertified(values, "residual SD", w[2]);
    } else if (w.size() == 2 && w[0] == "R-Squared") {
      AddCertified(values, "R squared", w[1]);
    } else if (w.size() == 5 && w[0] == "Regression") {
      AddCertified(values, "regression SS", w[2]);
      AddCertified(values, "regression MS", w[3]);
      AddCertified(values, "F", w[4]);
    } else if (w.size() == 4 && w[0] == "Residual") {
      AddCertified(values, "residual SS", w[2]);
      AddCertified(values, "residual MS", w[3]);
    }
  }
  return values;
}

// One-way ANOVA files (AtmWtAg among them).
std::vector<TCertified> AnovaValues(const TNistFile& file) {
  std::vector<TCertified> values;
  for (const std::string& line : file.Certified) {
    const std::vector<std::string> w = Words(line);
    if (w.size() == 6 && w[0] == "Between") {
      AddCertified(values, "between SS", w[3]);
      AddCertified(values, "between MS", w[4]);
      AddCertified(values, "F", w[5]);
    } else if (w.size() == 5 && w[0] == "Within") {
      AddCertified(values, "within SS", w[3]);
      AddCertified(values, "within MS", w[4]);
    } else if (w.size() == 3 && w[0] == "Certified" && w[1] == "R-Squared") {
      AddCertified(values, "R squared", w[2]);
    } else if (w.size() == 3 && w[0] == "Standard" && w[1] == "Deviation") {
      AddCertified(values, "residual SD", w[2]);
    }
  }
  return values;
}

// Univariate files: mean and SD (the lag-1 autocorrelation is no figure of
// the program's).
std::vector<TCertified> UnivariateValues(const TNistFile& file) {
  std::vector<TCertified> values;
  for (const std::string& line : file.Certified) {
    const std::vector<std::string> w = Words(line);
    // The value follows the symbol's colon ("ybar:  10000002 (exact)").
    const auto value = std::find_if(w.begin(), w.end(), [](const std::string& word) { return word.ends_with(':'); });
    if (w.size() < 3 || w[0] != "Sample" || value == w.end() || value + 1 == w.end()) continue;
    if (w[1] == "Mean") AddCertified(values, "mean", *(value + 1));
    if (w[1] == "Standard") AddCertified(values, "SD", *(value + 1));
  }
  return values;
}

// ---------------------------------------------------------------------------
// The documents

// X, X², ... X^degree, each power formed by repeated multiplication, as a
// user fills the columns with a transform.
void PutPowers(TDataTable& table, const std::vector<long double>& x, int degree) {
  std::vector<long double> power = x;
  for (int d = 1; d <= degree; ++d) {
    for (std::size_t r = 0; r < x.size(); ++r) table.SetValue(static_cast<int>(r), d, power[r]);
    table.Summary(d).Title = d == 1 ? "x" : "x^" + std::to_string(d);
    for (std::size_t r = 0; r < power.size(); ++r) power[r] *= x[r];
  }
}

// The rows y x1 x2 ... into columns A (y), B, C, ...
void PutRegressionRows(TDataTable& table, const TNistFile& file, int degree) {
  std::vector<long double> x;
  for (std::size_t r = 0; r < file.Rows.size(); ++r) {
    const std::vector<long double>& row = file.Rows[r];
    table.SetValue(static_cast<int>(r), 0, row[0]);
    if (degree > 0) {
      x.push_back(row[1]);
    } else {
      for (std::size_t c = 1; c < row.size(); ++c) table.SetValue(static_cast<int>(r), static_cast<int>(c), row[c]);
    }
  }
  table.Summary(0).Title = "y";
  if (degree > 0) PutPowers(table, x, degree);
}

// XY data: x in column A, y in column B.
void PutLineRows(TDataTable& table, const TNistFile& file) {
  for (std::size_t r = 0; r < file.Rows.size(); ++r) {
    table.SetValue(static_cast<int>(r), 0, file.Rows[r][1]);
    table.SetValue(static_cast<int>(r), 1, file.Rows[r][0]);
  }
}

// Group g's values in column g - 1.
void PutGroups(TDataTable& table, const TNistFile& file) {
  std::vector<int> rows;
  for (const std::vector<long double>& row : file.Rows) {
    const auto group = static_cast<std::size_t>(row[0]) - 1;
    if (rows.size() <= group) rows.resize(group + 1, 0);
    table.SetValue(rows[group]++, static_cast<int>(group), row[1]);
  }
}

void BuildDocument(const TSetEntry& set, const TNistFile& file, TDocument& document) {
  switch (set.Kind) {
    case TSetKind::LinearRegression:
    case TSetKind::LineThroughOrigin:
      document.ChooseFormat(TDataFormat::XY);
      PutLineRows(document.Table, file);
      document.Choices.ForceThrough = set.Kind == TSetKind::LineThroughOrigin ? 1 : 0;
      document.Choices.InterpolateUnknowns = 0;
      break;
    case TSetKind::MultipleRegression:
      document.ChooseFormat(TDataFormat::MultipleRegression);
      PutRegressionRows(document.Table, file, set.Degree);
      break;
    case TSetKind::Univariate:
      document.ChooseFormat(TDataFormat::Raw);
      for (std::size_t r = 0; r < file.Rows.size(); ++r)
        document.Table.SetValue(static_cast<int>(r), 0, file.Rows[r][0]);
      break;
    case TSetKind::TTest:
    case TSetKind::OneWayAnova:
      document.ChooseFormat(TDataFormat::Raw);
      PutGroups(document.Table, file);
      break;
  }
  document.Table.SetTitle("NIST StRD " + std::filesystem::path(set.File).stem().string());
}

// The document written with the program's own writer, opened again as File
// Open does, its report computed: the results as `report --json` prints them.
std::optional<json> ResultsOfDocument(const TDocument& built, const std::string& path, std::string& error) {
  if (const TFileOutcome saved = SaveDocumentFile(path, built); !saved.Ok()) {
    error = saved.Message;
    return std::nullopt;
  }
  TDocument document;
  if (const TFileOutcome opened = OpenDocumentFile(path, document); !opened.Ok()) {
    error = opened.Message;
    return std::nullopt;
  }
  ComputeReport(document);
  const std::string text = JsonText(ReportResultTree(document, path));
  json tree = json::parse(text, nullptr, false);
  if (tree.is_discarded() || !tree["analyses"].is_array() || tree["analyses"].empty()) {
    error = "the report ran no analysis";
    if (tree.is_object() && tree["notice"].is_string()) error = tree["notice"].get<std::string>();
    return std::nullopt;
  }
  return tree["analyses"][0];
}

// ---------------------------------------------------------------------------
// Reading a figure: "tables.coefficients[2].se", "tables.anova[source=model].ss".

struct TFigure {
  bool Found = false;  // the path names a member
  bool Null = false;   // which holds null
  long double Value = 0;
};

const json* Step(const json* node, const std::string& segment) {
  std::string key = segment;
  std::string selector;
  if (const std::size_t open = segment.find('['); open != std::string::npos) {
    key = segment.substr(0, open);
    selector = segment.substr(open + 1, segment.size() - open - 2);
  }
  if (!node->is_object() || !node->contains(key)) return nullptr;
  node = &(*node)[key];
  if (selector.empty()) return node;
  if (!node->is_array()) return nullptr;
  const std::size_t equals = selector.find('=');
  if (equals == std::string::npos) {
    const auto index = static_cast<std::size_t>(Number(selector).value_or(-1));
    return index < node->size() ? &(*node)[index] : nullptr;
  }
  const std::string field = selector.substr(0, equals);
  const std::string wanted = selector.substr(equals + 1);
  for (const json& item : *node)
    if (item.is_object() && item.contains(field) && item[field] == wanted) return &item;
  return nullptr;
}

TFigure Figure(const json& analysis, const std::string& path) {
  const json* node = &analysis;
  std::istringstream segments(path);
  for (std::string segment; node != nullptr && std::getline(segments, segment, '.');) node = Step(node, segment);
  TFigure figure;
  if (node == nullptr || !(node->is_number() || node->is_null())) return figure;
  figure.Found = true;
  figure.Null = node->is_null();
  if (!figure.Null) figure.Value = node->get<double>();
  return figure;
}

// ---------------------------------------------------------------------------
// Where each certified value is in the results

// A figure of the results, read from `Path`, squared when `Squared` (F as t²
// of a single slope).
struct TSource {
  TSource(std::string path, bool squared = false, std::string note = {})
      : Path(std::move(path)), Squared(squared), Note(std::move(note)) {}
  std::string Path;
  bool Squared;
  std::string Note;
};

std::optional<TSource> LineSource(const std::string& name, bool throughOrigin) {
  static const std::vector<std::pair<std::string, TSource>> paths = {
      {"B0", {"results.yIntercept"}},
      {"SE(B0)", {"results.yInterceptSE"}},
      {"B1", {"results.slope"}},
      {"SE(B1)", {"results.slopeSE"}},
      {"residual SD", {"results.syx"}},
      {"R squared", {"results.rSquared"}},
      {"regression SS", {"results.ssRegression"}},
      {"regression MS", {"results.msRegression"}},
      {"residual SS", {"results.ssResidual"}},
      {"residual MS", {"results.msResidual"}},
  };
  // The report tests a forced slope by its t.
  if (name == "F") return throughOrigin ? TSource{"results.t", true, "t squared"} : TSource{"results.f"};
  for (const auto& [key, source] : paths)
    if (key == name) return source;
  return std::nullopt;
}

std::optional<TSource> MultipleSource(const std::string& name) {
  if (name.starts_with("SE(B")) {
    const std::string index = name.substr(4, name.size() - 5);
    return TSource{"tables.coefficients[" + index + "].se"};
  }
  if (name.starts_with("B")) return TSource{"tables.coefficients[" + name.substr(1) + "].coefficient"};
  static const std::vector<std::pair<std::string, std::string>> paths = {
      {"residual SD", "results.sdResiduals"},
      {"R squared", "results.rSquared"},
      {"regression SS", "results.ssRegression"},
      {"regression MS", "results.msRegression"},
      {"F", "results.f"},
      {"residual SS", "results.ssResidual"},
      {"residual MS", "results.msResidual"},
  };
  for (const auto& [key, path] : paths)
    if (key == name) return TSource{path};
  return std::nullopt;
}

// Where the one-way ANOVA keeps its table and F (docs/REPORT-JSON.md).
const std::vector<std::pair<std::string, std::string>> AnovaPaths = {
    {"between SS", "tables.anova[source=treatment].ss"},
    {"between MS", "tables.anova[source=treatment].ms"},
    {"F", "results.f"},
    {"within SS", "tables.anova[source=residual].ss"},
    {"within MS", "tables.anova[source=residual].ms"},
};

// ---------------------------------------------------------------------------
// Measuring

std::string Shown(long double value) {
  std::ostringstream text;
  text.precision(17);
  text << static_cast<double>(value);
  return text.str();
}

TLreRow Measured(const TSetEntry& set, const std::string& analysis, const TCertified& certified, const TFigure& figure,
                 const std::string& note) {
  TLreRow row;
  row.Set = std::filesystem::path(set.File).stem().string();
  row.Analysis = analysis;
  row.Value = certified.Name;
  row.Certified = certified.Text;
  row.Floor = set.Floor;
  row.Note = note;
  if (!figure.Found) {
    row.Note = "not in the results";
  } else if (figure.Null) {
    // A perfect fit has no F: the JSON's null stands for NIST's Infinity.
    row.Computed = "null";
    row.Lre = certified.Infinite ? MaxLre : 0;
  } else if (!certified.Infinite) {
    row.Computed = Shown(figure.Value);
    row.Lre = LogRelativeError(figure.Value, certified.Value);
  } else {
    row.Computed = Shown(figure.Value);
  }
  return row;
}

std::vector<TLreRow> MeasureByPaths(const TSetEntry& set, const json& analysis, const std::vector<TCertified>& values,
                                    const std::function<std::optional<TSource>(const std::string&)>& sourceOf) {
  const std::string name = analysis["analysis"].get<std::string>();
  const bool pending = analysis["results"].is_null() && analysis["refusal"].is_null();
  std::vector<TLreRow> rows;
  for (const TCertified& certified : values) {
    const std::optional<TSource> source = sourceOf(certified.Name);
    TFigure figure;
    if (source) figure = Figure(analysis, source->Path);
    if (source && source->Squared && figure.Found && !figure.Null) figure.Value *= figure.Value;
    rows.push_back(Measured(set, name, certified, figure, source ? source->Note : ""));
    rows.back().Pending = pending;
    if (pending) rows.back().Note = "results not yet data";
  }
  return rows;
}

// The unpaired t test of two groups holds the one-way ANOVA of them: F is
// t², the between-groups sum of squares n1·n2/(n1 + n2)·d², the within-groups
// one Σ(ni - 1)·SDi², from the test's difference and the groups' SDs.
std::vector<TLreRow> MeasureTTest(const TSetEntry& set, const json& analysis, const std::vector<TCertified>& values) {
  const TFigure t = Figure(analysis, "results.t");
  const TFigure d = Figure(analysis, "results.meanDifference");
  const TFigure n1 = Figure(analysis, "tables.columnSummary[0].n");
  const TFigure n2 = Figure(analysis, "tables.columnSummary[1].n");
  const TFigure sd1 = Figure(analysis, "tables.columnSummary[0].sd");
  const TFigure sd2 = Figure(analysis, "tables.columnSummary[1].sd");
  const long double between = n1.Value * n2.Value / (n1.Value + n2.Value) * d.Value * d.Value;
  const long double within = (n1.Value - 1) * sd1.Value * sd1.Value + (n2.Value - 1) * sd2.Value * sd2.Value;
  const long double df = n1.Value + n2.Value - 2;
  const auto derived = [&](long double value) { return TFigure{t.Found && d.Found && sd2.Found, false, value}; };
  const std::vector<std::tuple<std::string, TFigure, std::string>> figures = {
      {"between SS", derived(between), "from the mean difference"},
      {"between MS", derived(between), "from the mean difference"},
      {"F", derived(t.Value * t.Value), "t squared"},
      {"within SS", derived(within), "from the SDs"},
      {"within MS", derived(within / df), "from the SDs"},
      {"R squared", derived(between / (between + within)), "from the difference and SDs"},
      {"residual SD", derived(std::sqrt(within / df)), "pooled SD"},
  };
  std::vector<TLreRow> rows;
  const std::string name = analysis["analysis"].get<std::string>();
  for (const TCertified& certified : values)
    for (const auto& [key, figure, note] : figures)
      if (key == certified.Name) rows.push_back(Measured(set, name, certified, figure, note));
  return rows;
}

// The one-way ANOVA: its table and F; R² and the residual SD, which the
// report does not state, from the table.
std::vector<TLreRow> MeasureAnova(const TSetEntry& set, const json& analysis, const std::vector<TCertified>& values) {
  std::map<std::string, TFigure> figures;
  for (const auto& [name, path] : AnovaPaths) figures[name] = Figure(analysis, path);
  const TFigure& between = figures["between SS"];
  const TFigure& within = figures["within SS"];
  const TFigure& withinMS = figures["within MS"];
  figures["R squared"] = {between.Found && within.Found, false, between.Value / (between.Value + within.Value)};
  figures["residual SD"] = {withinMS.Found, false, std::sqrt(withinMS.Value)};
  const bool pending = analysis["results"].is_null();
  const std::string name = analysis["analysis"].get<std::string>();
  std::vector<TLreRow> rows;
  for (const TCertified& certified : values) {
    const bool derived = certified.Name == "R squared" || certified.Name == "residual SD";
    rows.push_back(Measured(set, name, certified, figures[certified.Name], derived ? "from the ANOVA table" : ""));
    rows.back().Pending = pending;
    if (pending) rows.back().Note = "results not yet data";
  }
  return rows;
}

}  // namespace

const std::vector<TSetEntry>& NistSets() {
  static const std::vector<TSetEntry> sets = {
      {"Norris.dat", TSetKind::LinearRegression},
      {"NoInt1.dat", TSetKind::LineThroughOrigin},
      {"NoInt2.dat", TSetKind::LineThroughOrigin},
      {"Norris.dat", TSetKind::MultipleRegression, 0},
      {"Pontius.dat", TSetKind::MultipleRegression, 2},
      {"Longley.dat", TSetKind::MultipleRegression, 0},
      // X..X¹⁰ of x as stored in 80 bits give at most LRE 11.9 (mpmath).
      {"Filip.dat", TSetKind::MultipleRegression, 10, 7},
      {"Wampler1.dat", TSetKind::MultipleRegression, 5},
      {"Wampler2.dat", TSetKind::MultipleRegression, 5},
      {"Wampler3.dat", TSetKind::MultipleRegression, 5},
      {"Wampler4.dat", TSetKind::MultipleRegression, 5},
      {"Wampler5.dat", TSetKind::MultipleRegression, 5},
      {"Lew.dat", TSetKind::Univariate},
      {"Lottery.dat", TSetKind::Univariate},
      {"Mavro.dat", TSetKind::Univariate},
      {"Michelso.dat", TSetKind::Univariate},
      {"NumAcc1.dat", TSetKind::Univariate},
      {"AtmWtAg.dat", TSetKind::TTest},
      {"SiRstv.dat", TSetKind::OneWayAnova},
      {"SmLs01.dat", TSetKind::OneWayAnova},
      {"SmLs02.dat", TSetKind::OneWayAnova},
      {"SmLs04.dat", TSetKind::OneWayAnova},
      {"SmLs05.dat", TSetKind::OneWayAnova},
      // Values such as 1000000000000.4 keep only about 7 digits of their
      // spread in 80 bits: the data as stored give at most LRE 6.8.
      {"SmLs07.dat", TSetKind::OneWayAnova, 0, 6},
      {"SmLs08.dat", TSetKind::OneWayAnova, 0, 6},
  };
  return sets;
}

double LogRelativeError(long double computed, long double certified) {
  const long double error = std::fabs(computed - certified);
  if (error == 0) return MaxLre;
  const long double relative = certified == 0 ? error : error / std::fabs(certified);
  return std::clamp(static_cast<double>(-std::log10(relative)), 0.0, MaxLre);
}

std::vector<TLreRow> MeasureSet(const TSetEntry& set, const std::string& nistFolder, const std::string& documents,
                                std::string& error) {
  const std::optional<TNistFile> file = ReadNistFile(nistFolder + "/" + set.File);
  if (!file) {
    error = "cannot read " + nistFolder + "/" + set.File;
    return {};
  }
  TDocument document;
  BuildDocument(set, *file, document);
  const std::string kind = set.Kind == TSetKind::MultipleRegression ? "-multiple" : "";
  const std::string path = documents + "/" + std::filesystem::path(set.File).stem().string() + kind + ".omd";
  const std::optional<json> analysis = ResultsOfDocument(document, path, error);
  if (!analysis) return {};
  if (!(*analysis)["refusal"].is_null()) {
    error = (*analysis)["refusal"]["message"].get<std::string>();
    return {};
  }
  switch (set.Kind) {
    case TSetKind::LinearRegression:
    case TSetKind::LineThroughOrigin: {
      const bool origin = set.Kind == TSetKind::LineThroughOrigin;
      return MeasureByPaths(set, *analysis, RegressionValues(*file),
                            [origin](const std::string& name) { return LineSource(name, origin); });
    }
    case TSetKind::MultipleRegression:
      return MeasureByPaths(set, *analysis, RegressionValues(*file), MultipleSource);
    case TSetKind::Univariate:
      return MeasureByPaths(set, *analysis, UnivariateValues(*file), [](const std::string& name) {
        return std::optional<TSource>(
            TSource{name == "mean" ? "tables.columnSummary[0].mean" : "tables.columnSummary[0].sd", false,
                    "column statistics"});
      });
    case TSetKind::TTest:
      return MeasureTTest(set, *analysis, AnovaValues(*file));
    case TSetKind::OneWayAnova:
      return MeasureAnova(set, *analysis, AnovaValues(*file));
  }
  return {};
}

}  // namespace ombrel::lre
