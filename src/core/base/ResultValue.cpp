#include "core/base/ResultValue.h"

#include <cmath>

namespace ombrel {

TResultValue TResultValue::Bool(bool value) {
  TResultValue result;
  result.mKind = TKind::Bool;
  result.mBool = value;
  return result;
}

TResultValue TResultValue::Integer(std::int64_t value) {
  TResultValue result;
  result.mKind = TKind::Integer;
  result.mInteger = value;
  return result;
}

TResultValue TResultValue::Real(TReal value) {
  TResultValue result;
  if (IsEmpty(value) || !std::isfinite(value)) return result;
  result.mKind = TKind::Real;
  result.mReal = value;
  return result;
}

TResultValue TResultValue::Text(std::string_view value) {
  TResultValue result;
  result.mKind = TKind::Text;
  result.mText = std::string(value);
  return result;
}

TResultValue TResultValue::Array() {
  TResultValue result;
  result.mKind = TKind::Array;
  return result;
}

TResultValue TResultValue::Object() {
  TResultValue result;
  result.mKind = TKind::Object;
  return result;
}

const TResultValue* TResultValue::Find(std::string_view key) const {
  for (const TMember& member : mMembers)
    if (member.first == key) return &member.second;
  return nullptr;
}

TResultValue& TResultValue::Add(std::string_view key, TResultValue value) {
  mKind = TKind::Object;
  for (TMember& member : mMembers) {
    if (member.first == key) {
      member.second = std::move(value);
      return *this;
    }
  }
  mMembers.emplace_back(std::string(key), std::move(value));
  return *this;
}

TResultValue& TResultValue::Push(TResultValue value) {
  mKind = TKind::Array;
  mItems.push_back(std::move(value));
  return *this;
}

}  // namespace ombrel
