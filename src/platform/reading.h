#pragma once
// A fact asked of the system: its value, or why the system gave none. Each
// reason is part of ordinary life on some PC (an older Windows, a standard
// user), so it comes back as a value for the record to name.
#include <cstdint>
#include <optional>
#include <utility>

namespace th::platform {

struct Unread {
  enum class Why { kUnsupported, kDenied, kError };
  Why why = Why::kUnsupported;  // kUnsupported: this Windows lacks the function or value
  std::uint32_t code = 0;       // the system's error code, for kError
};

inline constexpr Unread kUnsupported{Unread::Why::kUnsupported};
inline constexpr Unread kDenied{Unread::Why::kDenied};
inline constexpr Unread ErrorCode(std::uint32_t code) { return {Unread::Why::kError, code}; }

template <class T>
struct Reading {
  Reading(T v) : value(std::move(v)) {}
  Reading(Unread u) : unread(u) {}

  std::optional<T> value;
  Unread unread;  // why there is no value
};

}  // namespace th::platform
