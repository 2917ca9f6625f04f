#include "core/shell/FormatPageText.h"

namespace ombrel {

std::string_view FamilyCaption(TTestFamily family) {
  switch (family) {
    case TTestFamily::CompareMeans:
      return "Compare means (or medians)";
    case TTestFamily::Regression:
      return "Regression and correlation";
    case TTestFamily::Contingency:
      return "Analyze a contingency table";
  }
  return {};
}

std::string_view FormatCaption(TDataFormat format) {
  switch (format) {
    case TDataFormat::Raw:
      return "Raw data.";
    case TDataFormat::MeanSdN:
      return "Averaged data. Mean, SD && N.";
    case TDataFormat::MeanSemN:
      return "Averaged data. Mean, SEM && N.";
    case TDataFormat::XY:
      return "X and Y (or two or more Y replicates). ";
    case TDataFormat::MultipleRegression:
      return "Y and 2 or more X variables (multiple reg).";
    case TDataFormat::TwoByTwo:
      return "Two rows, two columns.";
    case TDataFormat::LargerTable:
      return "Larger contingency table.";
  }
  return {};
}

std::array<std::string_view, 2> FamilyExampleLines(TTestFamily family) {
  switch (family) {
    case TTestFamily::CompareMeans:
      return {"Compare blood pressures of two or more groups, ",
              "or compare BP of one group with a theoretical value."};
    case TTestFamily::Regression:
      return {"How does blood pressure vary with age? For multiple",
              "regression, how does BP vary with age and weight? "};
    case TTestFamily::Contingency:
      return {"Compare numbers of pregnant and nonpregnant", "women in two age groups."};
  }
  return {};
}

const std::vector<std::string_view>& AvailableTestLines(TDataFormat format) {
  static const std::vector<std::string_view> xy = {"Linear regression", "Interpolate unknown values",
                                                   "Linear (Pearson) correlation", "Spearman nonparametric correlation",
                                                   "Constrained linear regression"};
  static const std::vector<std::string_view> raw = {"1 group:",
                                                    "One sample t test",
                                                    "Wilcoxon rank sum test",
                                                    "2 groups:",
                                                    "Unpaired t test",
                                                    "Paired t test.",
                                                    "Welch's corrected t test",
                                                    "Mann-Whitney test",
                                                    "Wilcoxon matched pairs test",
                                                    "3-26 groups:",
                                                    "One-way ANOVA",
                                                    "Repeated measures ANOVA",
                                                    "Kruskal-Wallis test",
                                                    "Friedman test",
                                                    "(All with post tests)"};
  static const std::vector<std::string_view> averaged = {"1 group:",
                                                         "One sample t test",
                                                         "2 groups:",
                                                         "Unpaired t test",
                                                         "Welch's corrected t test",
                                                         "3-26 groups:",
                                                         "One-way ANOVA (with post tests)"};
  static const std::vector<std::string_view> twoByTwo = {"Chi-square test ",
                                                         "Chi-square test with Yates' correction",
                                                         "Fisher's exact test",
                                                         "Relative risk (with 95% CI)",
                                                         "Odds ratio (with 95% CI)",
                                                         "Difference of two proportions (with 95% CI)",
                                                         "Sensitivity, specificity, etc. with 95% CI"};
  static const std::vector<std::string_view> larger = {"Chi-square test for independence", "Chi-square test for trend"};
  static const std::vector<std::string_view> multiple = {"Multiple regression", "Correlation matrix"};
  switch (format) {
    case TDataFormat::XY:
      return xy;
    case TDataFormat::Raw:
      return raw;
    case TDataFormat::MeanSdN:
    case TDataFormat::MeanSemN:
      return averaged;
    case TDataFormat::TwoByTwo:
      return twoByTwo;
    case TDataFormat::LargerTable:
      return larger;
    case TDataFormat::MultipleRegression:
      return multiple;
  }
  return raw;
}

}  // namespace ombrel
