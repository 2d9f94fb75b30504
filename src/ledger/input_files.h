#pragma once
// The record files named on the command line: files as given, folders
// searched for *.csv (any case) recursively. Streamed, never listed whole.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace th::ledger {

std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8FromPath(const std::filesystem::path& path);

// Calls `each` for every file, folder by folder in the order given. Folders
// that cannot be read are skipped.
void ForEachInputFile(const std::vector<std::string>& inputs,
                      const std::function<void(const std::filesystem::path&)>& each);

// Reads a whole file into `bytes` (reusing its storage); false when it cannot.
bool ReadWholeFile(const std::filesystem::path& path, std::string& bytes);

}  // namespace th::ledger
