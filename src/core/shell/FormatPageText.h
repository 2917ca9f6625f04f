#pragma once

#include <array>
#include <string_view>
#include <vector>

#include "core/base/TestChoices.h"

namespace ombrel {

// The texts of the data-format page (step 0).

inline constexpr std::string_view FormatPageHeading = "First step: What kind of data do you wish to enter?";
inline constexpr std::string_view FamilyGroupCaption = "A. Specify your goal";
inline constexpr std::string_view AvailableTestsHeading =
    "Based on your choices, Ombrel will be able to perform these tests:";
inline constexpr std::string_view NextStepLabelText = "Next step: Enter data (click here).";

// The goal radios, in page order.
inline constexpr std::array<TTestFamily, 3> FamilyOrder = {TTestFamily::CompareMeans, TTestFamily::Regression,
                                                           TTestFamily::Contingency};
// The format radios, in page order (those of one goal together).
inline constexpr std::array<TDataFormat, 7> FormatOrder = {TDataFormat::Raw,
                                                           TDataFormat::MeanSdN,
                                                           TDataFormat::MeanSemN,
                                                           TDataFormat::XY,
                                                           TDataFormat::MultipleRegression,
                                                           TDataFormat::TwoByTwo,
                                                           TDataFormat::LargerTable};

std::string_view FamilyCaption(TTestFamily family);
// A format radio's caption; "&&" shows as one ampersand.
std::string_view FormatCaption(TDataFormat format);
// The two example lines a goal shows.
std::array<std::string_view, 2> FamilyExampleLines(TTestFamily family);
// The tests a format offers, one line each, with the group-count headings
// of the compare-means formats ("1 group:", ...) as lines of their own.
const std::vector<std::string_view>& AvailableTestLines(TDataFormat format);

}  // namespace ombrel
