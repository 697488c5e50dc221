#pragma once

#include <map>
#include <memory>
#include <string>

namespace player::script {

struct Object;
using ObjectRef = std::shared_ptr<Object>;

// A value of a movie's actions: undefined, null, a boolean, a number, a
// text or an object (arrays and clips among them).
struct Value {
  enum Kind { kUndefined, kNull, kBool, kNumber, kString, kObject };
  Kind kind = kUndefined;
  bool boolean = false;
  double number = 0;
  std::string text;
  ObjectRef object;

  static Value Undefined() { return {}; }
  static Value Null() { return {kNull}; }
  static Value Bool(bool b) { return {kBool, b}; }
  static Value Number(double n) { return {kNumber, false, n}; }
  static Value Text(std::string s) { return {kString, false, 0, std::move(s)}; }
  static Value Of(ObjectRef o) { return {kObject, false, 0, {}, std::move(o)}; }
};

// An object's properties by name. A clip is an object too: its variables
// are its properties and its children are properties holding them; an
// array keeps its elements under "0", "1", ... and its length.
struct Object {
  enum Kind { kPlain, kArray, kClip };
  Kind kind = kPlain;
  std::map<std::string, Value> properties;
  double length = 0;             // arrays
  std::string name;              // clips: the instance name
  std::weak_ptr<Object> parent;  // clips: the timeline it lies on
};

// How a movie of `version` reads and compares: names ignore case before
// version 7, and conversions differ by version as the format has them.
struct Rules {
  int version = 8;
  std::string Key(const std::string& name) const;
  double ToNumber(const Value& v) const;
  std::string ToString(const Value& v) const;
  bool ToBool(const Value& v) const;
  bool LooselyEqual(const Value& a, const Value& b) const;
};

// "42", "0.5", "1e+21", "NaN": a number as the movie's String() gives it.
std::string NumberText(double n);

Value GetProperty(const Rules& rules, const ObjectRef& object, const std::string& name);
void SetProperty(const Rules& rules, const ObjectRef& object, const std::string& name, Value value);

}  // namespace player::script
