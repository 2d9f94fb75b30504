#pragma once
// Path and file helpers. Working paths are written ".\..." and anchored at
// the program's own folder, never at the current directory.
#include <cstdint>
#include <string>
#include <utility>

#include "platform/platform.h"

namespace th {

// Pure text operations (no file system).
std::string FolderPart(const std::string& path);    // up to and including the last "\"
std::string FileNamePart(const std::string& path);  // after the last "\"
std::string AddPathSep(const std::string& path);    // ensures a trailing "\"
// The first piece up to and including its "\", and the rest; the whole path
// and nothing when it has no "\".
std::pair<std::string, std::string> SplitFirst(const std::string& path);
std::string ResolvePath(const std::string& path, const std::string& programFolder);
std::string ResolvePath(platform::Platform& os, const std::string& path);

// File-system helpers; none of them reports a failure.
void DeleteFiles(platform::Platform& os, const std::string& path);
std::int64_t FileLength(platform::Platform& os, const std::string& path);
bool FolderMissing(platform::Platform& os, const std::string& folder);
void ChangeToFolder(platform::Platform& os, const std::string& path);

}  // namespace th
