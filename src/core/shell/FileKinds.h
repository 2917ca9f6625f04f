#pragma once

#include <string_view>

// Which kind of file a path names, for files dropped onto the program.

namespace ombrel {

enum class TFileKind {
  Document,        // an Ombrel document (".omd")
  ImportText,      // text the data grid imports (".txt", ".csv", ".dat", ".prn")
  ImportWorkbook,  // a workbook the data grid imports (".xlsx", ".ods")
  Other,
};

// The kind by the path's suffix, in any case; a name without one, or a
// folder's dot, is Other.
TFileKind FileKindOfPath(std::string_view path);

}  // namespace ombrel
