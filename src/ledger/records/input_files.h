#pragma once
// The record files named on the command line: files as given, folders
// searched for *.csv (any case) recursively. Streamed, never listed whole.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace th::ledger {

std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// Files above this size are no record file (one PC's is a few hundred KiB)
// and are not read.
inline constexpr std::uintmax_t kMaxRecordFileBytes = 64ull << 20;

struct InputWalk {
  std::vector<std::string> inputs;               // files and folders, UTF-8
  std::vector<std::filesystem::path> excluded;  // folders never entered (the exports')
  std::function<void(const std::filesystem::path&)> file;
  // A folder that could not be read, with the reason.
  std::function<void(const std::filesystem::path&, const std::string&)> unreadable;
};

// Calls `file` for every file, folder by folder in the order given, and
// `unreadable` for every folder that cannot be listed.
void ForEachInputFile(const InputWalk& walk);

// Reads a whole file into `bytes` (reusing its storage); false when it cannot.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

}  // namespace th::ledger
