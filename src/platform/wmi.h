#pragma once
// WMI seam: connect, query, an instance's properties in their own order, and
// a read by name. Every call throws Failure with the platform's description.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace th::platform {

// The tagged value of one WMI property. WMI's 64-bit integers arrive as text.
struct PropertyValue {
  enum class Kind { Empty, Null, Object, Array, Text, Integer, Real, Boolean, Date };

  Kind kind = Kind::Empty;
  std::string text;                   // Text; Date in CIM date-time form
  std::int64_t integer = 0;           // Integer
  double real = 0;                    // Real
  bool boolean = false;               // Boolean
  std::vector<PropertyValue> items;   // Array elements

  static PropertyValue empty() { return {}; }
  static PropertyValue null() { return make(Kind::Null); }
  static PropertyValue object() { return make(Kind::Object); }
  static PropertyValue ofText(std::string s) {
    PropertyValue v = make(Kind::Text);
    v.text = std::move(s);
    return v;
  }
  static PropertyValue ofInteger(std::int64_t i) {
    PropertyValue v = make(Kind::Integer);
    v.integer = i;
    return v;
  }
  static PropertyValue ofReal(double d) {
    PropertyValue v = make(Kind::Real);
    v.real = d;
    return v;
  }
  static PropertyValue ofBoolean(bool b) {
    PropertyValue v = make(Kind::Boolean);
    v.boolean = b;
    return v;
  }
  static PropertyValue ofDate(std::string cim) {
    PropertyValue v = make(Kind::Date);
    v.text = std::move(cim);
    return v;
  }
  static PropertyValue ofArray(std::vector<PropertyValue> elements) {
    PropertyValue v = make(Kind::Array);
    v.items = std::move(elements);
    return v;
  }

 private:
  static PropertyValue make(Kind k) {
    PropertyValue v;
    v.kind = k;
    return v;
  }
};

using Property = std::pair<std::string, PropertyValue>;

class WmiInstance {
 public:
  virtual ~WmiInstance() = default;
  // The instance's properties in the order the instance lists them.
  virtual std::vector<Property> properties() = 0;
  virtual PropertyValue get(const std::string& name) = 0;
};

class WmiConnection {
 public:
  virtual ~WmiConnection() = default;
  // Runs a WQL query; the instances come in the order WMI gives them.
  virtual std::vector<std::unique_ptr<WmiInstance>> query(const std::string& wql) = 0;
};

class Wmi {
 public:
  virtual ~Wmi() = default;
  virtual std::unique_ptr<WmiConnection> connect(const std::string& moniker) = 0;
};

}  // namespace th::platform
