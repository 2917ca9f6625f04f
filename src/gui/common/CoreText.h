#pragma once

#include <string_view>

#include <QString>

namespace ombrel {

// Text of the core (UTF-8: titles, messages, captions, number texts) for a
// widget.
inline QString FromCore(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace ombrel
