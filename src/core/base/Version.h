#pragma once

#include <string_view>

namespace ombrel {

inline constexpr std::string_view ProgramName = "Ombrel";
inline constexpr std::string_view ProgramVersion = "3.00";
inline constexpr std::string_view MainWindowCaption = "Quillvex Ombrel";

}  // namespace ombrel
