#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace th::platform {

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // NetBIOS computer name, as the error log shows it; empty on failure.
  virtual std::string computerName() = 0;
  // Computer name in a Windows name format (1 = DNS host name); empty on failure.
  virtual std::string computerNameEx(int format) = 0;
  virtual std::optional<std::string> environment(const std::string& name) = 0;
  // A number nobody can predict (the system's cryptographic generator), for
  // names other users must not be able to guess.
  virtual std::uint64_t randomNumber() = 0;
  // The SID of the user the program runs as ("S-1-5-21-..."); throws Failure
  // when it cannot be read.
  virtual std::string userSid() = 0;
};

}  // namespace th::platform
