#include "core/shell/GuideText.h"

#include <array>

namespace ombrel {

namespace {

// The texts keep their blanks as the pages have always shown them (two before
// "kind", one at the end of some paragraphs).
constexpr std::array<std::string_view, 2> FirstTexts = {
    "Quillvex Ombrel takes you step by step through statistical analyses. The first step is to tell Ombrel what kind "
    "of data you wish to enter. This choice is important, as it determines which family of tests Ombrel will offer.",
    "At each step, the Ombrel Guide will explain your options. You can keep it open beside your work while you make "
    "your choices, or close it by pressing \"Close\" below. Then press the blue arrow button (lower right of the "
    "Window) to go to the next step.",
};

constexpr std::array<std::string_view, 2> DataTableTexts = {
    "After closing this Guide window, enter, import or paste your data. Then press the blue right arrow button at the "
    "bottom right of the window to go to the next step.",
    "Press a button at the lower left of the window to learn how to arrange your data (important with Ombrel) and how "
    "to import data (including indexed or stacked data). As you move from step to step, these buttons will provide "
    "help on different topics.",
};

constexpr std::array<std::string_view, 3> SummaryTexts = {
    "This summary statistics screen shows the mean, SD, SEM, confidence interval, etc. for each column. You can also "
    "enter data here as mean, SD and N for each group.",
    "After closing this Guide window, press the blue right arrow button to go to the next step.",
    "Press the \"Explain the results\" button for definitions of all the statistical terms and a discussion of how "
    "they are used.",
};

constexpr std::array<std::string_view, 4> ChooseTestTexts = {
    "Ombrel presents choices based on the  kind of data and the number of groups of data you entered. ",
    "Press \"Help me choose\" (lower left) to learn which alternative is best for your data. ",
    "Close this Guide window. Then make your choices, and press the blue right arrow button to go to the next step.",
    "Ombrel automatically analyzes all columns of data. For some tests, you will see choices for restricting analysis "
    "to selected columns.",
};

constexpr std::array<std::string_view, 3> ResultsTexts = {
    "Press the \"Checklist\" button (lower left) to confirm that you picked an appropriate test and to understand the "
    "results. ",
    "An Ombrel file contains one data table and the results of one test. Press \"What's next\" to learn how to manage "
    "multiple analyses.",
    "You don't have to follow Ombrel's steps in order. Use the six step buttons (bottom right) to jump from step to "
    "step. If you edit the data or change the calculation choices, Ombrel will automatically update the results.",
};

constexpr std::array<std::string_view, 1> GraphTexts = {
    "This is a notebook quality graph, suitable for getting a sense of your data and to spot errors in data entry. "
    "You cannot change or edit the graph, but can print it or copy it to the clipboard.",
};

constexpr std::array<TGuidePage, StepCount> Pages = {{
    {"First", FirstTexts},
    {"Data Table", DataTableTexts},
    {"Summary Statistics", SummaryTexts},
    {"Choose Test", ChooseTestTexts},
    {"Results", ResultsTexts},
    {"Graph", GraphTexts},
}};

}  // namespace

int GuidePageIndex(TStep step) {
  const int index = static_cast<int>(step);
  return index >= 0 && index < StepCount ? index : 0;
}

const TGuidePage& GuidePageFor(TStep step) { return Pages[static_cast<std::size_t>(GuidePageIndex(step))]; }

std::span<const TGuidePage> GuidePages() { return Pages; }

}  // namespace ombrel
