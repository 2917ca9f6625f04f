#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/base/EmptyValue.h"

namespace ombrel {

// A value of an analysis's results as data: null, a flag, a whole number, a
// real number, a text, an array or an object whose keys keep the order they
// were added in. Analyses fill it from their result structs with named
// fields; one writer turns it into JSON (core/report/JsonText).
//
// A real number that is the empty marker or not finite is stored as null, so
// no "unavailable" value can reach a reader as a number.
class TResultValue {
 public:
  enum class TKind { Null, Bool, Integer, Real, Text, Array, Object };
  using TMember = std::pair<std::string, TResultValue>;

  TResultValue() = default;

  static TResultValue Null() { return {}; }
  static TResultValue Bool(bool value);
  static TResultValue Integer(std::int64_t value);
  // Null for the empty marker and for values that are not finite.
  static TResultValue Real(TReal value);
  static TResultValue Text(std::string_view value);
  static TResultValue Array();
  static TResultValue Object();

  TKind Kind() const { return mKind; }
  bool IsNull() const { return mKind == TKind::Null; }
  bool AsBool() const { return mBool; }
  std::int64_t AsInteger() const { return mInteger; }
  TReal AsReal() const { return mReal; }
  const std::string& AsText() const { return mText; }
  const std::vector<TResultValue>& Items() const { return mItems; }
  const std::vector<TMember>& Members() const { return mMembers; }
  // The member under `key` of an object; nullptr when there is none.
  const TResultValue* Find(std::string_view key) const;

  // Object members, appended in call order (a key given twice keeps its
  // first place and takes the new value). Each returns the object itself,
  // so that members can be chained.
  TResultValue& Add(std::string_view key, TResultValue value);
  TResultValue& AddBool(std::string_view key, bool value) { return Add(key, Bool(value)); }
  TResultValue& AddInteger(std::string_view key, std::int64_t value) { return Add(key, Integer(value)); }
  TResultValue& AddReal(std::string_view key, TReal value) { return Add(key, Real(value)); }
  TResultValue& AddText(std::string_view key, std::string_view value) { return Add(key, Text(value)); }
  // An array item, appended.
  TResultValue& Push(TResultValue value);

  bool operator==(const TResultValue&) const = default;

 private:
  TKind mKind = TKind::Null;
  bool mBool = false;
  std::int64_t mInteger = 0;
  TReal mReal = 0;
  std::string mText;
  std::vector<TResultValue> mItems;
  std::vector<TMember> mMembers;
};

}  // namespace ombrel
