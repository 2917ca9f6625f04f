#pragma once

#include <string>

#include "core/base/ResultValue.h"

namespace ombrel {

// The value as a JSON text, indented by two spaces per level, ending in a
// newline. Objects keep their members' order. Real numbers are written as
// doubles in their shortest form that reads back as the same double (at most
// 17 significant digits); integers as integers; null for every value the
// tree holds as null. Texts are UTF-8: a byte that is not part of a UTF-8
// sequence is read as Latin-1, as the report viewer reads it.
std::string JsonText(const TResultValue& value);

}  // namespace ombrel
