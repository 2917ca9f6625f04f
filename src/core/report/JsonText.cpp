// The one place that knows the JSON library: everything else builds a
// TResultValue.
#include "core/report/JsonText.h"

#include <cmath>
#include <nlohmann/json.hpp>

#include "core/report/ReportHtml.h"

namespace ombrel {

namespace {

using TJson = nlohmann::ordered_json;

TJson ToJson(const TResultValue& value) {
  switch (value.Kind()) {
    case TResultValue::TKind::Null:
      return nullptr;
    case TResultValue::TKind::Bool:
      return value.AsBool();
    case TResultValue::TKind::Integer:
      return value.AsInteger();
    case TResultValue::TKind::Real: {
      // A long double beyond the range of a double has no JSON number.
      const double number = static_cast<double>(value.AsReal());
      if (!std::isfinite(number)) return nullptr;
      return number;
    }
    case TResultValue::TKind::Text:
      return Utf8Text(value.AsText());
    case TResultValue::TKind::Array: {
      TJson array = TJson::array();
      for (const TResultValue& item : value.Items()) array.push_back(ToJson(item));
      return array;
    }
    case TResultValue::TKind::Object: {
      TJson object = TJson::object();
      for (const auto& [key, member] : value.Members()) object[Utf8Text(key)] = ToJson(member);
      return object;
    }
  }
  return nullptr;
}

}  // namespace

std::string JsonText(const TResultValue& value) { return ToJson(value).dump(2) + "\n"; }

}  // namespace ombrel
