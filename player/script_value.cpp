#include "player/script_value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace player::script {

std::string Rules::Key(const std::string& name) const {
  if (version >= 7) return name;
  std::string key = name;
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return key;
}

std::string NumberText(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n > 0 ? "Infinity" : "-Infinity";
  if (n == std::floor(n) && std::fabs(n) < 1e15) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.0f", n == 0 ? 0.0 : n);  // never "-0"
    return buffer;
  }
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", n);
  return buffer;
}

double Rules::ToNumber(const Value& v) const {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  switch (v.kind) {
    case Value::kUndefined:
    case Value::kNull: return version >= 7 ? nan : 0;
    case Value::kBool: return v.boolean ? 1 : 0;
    case Value::kNumber: return v.number;
    case Value::kObject: return nan;
    case Value::kString: {
      std::size_t b = v.text.find_first_not_of(" \t\r\n");
      if (b == std::string::npos) return version >= 7 ? nan : 0;
      std::size_t e = v.text.find_last_not_of(" \t\r\n");
      std::string t = v.text.substr(b, e - b + 1);
      char* end = nullptr;
      double n = (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X'))
                     ? static_cast<double>(std::strtoll(t.c_str() + 2, &end, 16))
                     : std::strtod(t.c_str(), &end);
      return end && *end == '\0' ? n : nan;
    }
  }
  return nan;
}

std::string Rules::ToString(const Value& v) const {
  switch (v.kind) {
    case Value::kUndefined: return version >= 7 ? "undefined" : "";
    case Value::kNull: return "null";
    case Value::kBool: return v.boolean ? "true" : "false";
    case Value::kNumber: return NumberText(v.number);
    case Value::kString: return v.text;
    case Value::kObject: {
      const Object& o = *v.object;
      if (o.kind == Object::kArray) {
        std::string joined;
        for (long i = 0; i < static_cast<long>(o.length); ++i) {
          if (i) joined += ",";
          auto it = o.properties.find(std::to_string(i));
          if (it != o.properties.end() && it->second.kind != Value::kObject) joined += ToString(it->second);
          if (joined.size() > (1u << 16)) break;  // a long sparse array is not spelled out
        }
        return joined;
      }
      if (o.kind == Object::kClip) {
        std::string path;
        ObjectRef parent = o.parent.lock();
        for (const Object* c = &o; parent; c = parent.get(), parent = parent->parent.lock())
          path = "." + c->name + path;
        return "_level0" + path;
      }
      return "[object Object]";
    }
  }
  return "";
}

bool Rules::ToBool(const Value& v) const {
  switch (v.kind) {
    case Value::kUndefined:
    case Value::kNull: return false;
    case Value::kBool: return v.boolean;
    case Value::kNumber: return v.number != 0 && !std::isnan(v.number);
    case Value::kString: return version >= 7 ? !v.text.empty() : ToNumber(v) != 0;
    case Value::kObject: return true;
  }
  return false;
}

bool Rules::LooselyEqual(const Value& a, const Value& b) const {
  auto absent = [](const Value& v) { return v.kind == Value::kUndefined || v.kind == Value::kNull; };
  if (absent(a) || absent(b)) return absent(a) && absent(b);
  if (a.kind == Value::kObject || b.kind == Value::kObject) return a.kind == b.kind && a.object == b.object;
  if (a.kind == Value::kString && b.kind == Value::kString) return a.text == b.text;
  return ToNumber(a) == ToNumber(b);
}

Value GetProperty(const Rules& rules, const ObjectRef& object, const std::string& name) {
  if (!object) return {};
  if (object->kind == Object::kArray && name == "length") return Value::Number(object->length);
  if (object->kind == Object::kClip && (name == "_parent" || rules.Key(name) == "_parent")) {
    ObjectRef parent = object->parent.lock();
    return parent ? Value::Of(parent) : Value::Undefined();
  }
  auto it = object->properties.find(rules.Key(name));
  return it == object->properties.end() ? Value::Undefined() : it->second;
}

void SetProperty(const Rules& rules, const ObjectRef& object, const std::string& name, Value value) {
  if (!object) return;
  if (object->kind == Object::kArray) {
    char* end = nullptr;
    double index = std::strtod(name.c_str(), &end);
    if (!name.empty() && end && *end == '\0' && index >= 0 && index == std::floor(index) && index < 1e6 &&
        index >= object->length)
      object->length = index + 1;
  }
  object->properties[rules.Key(name)] = std::move(value);
}

}  // namespace player::script
