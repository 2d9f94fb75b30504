#pragma once
// Where the process may load DLLs from: called first thing by both programs.

namespace th::win32 {

// Restricts every later DLL load (the program's and Windows' on its behalf)
// to the system folder. SetDefaultDllDirectories came with KB2533623 and is
// looked up at run time; where Windows 7 lacks it, only the current folder
// is taken out of the search (the program's own folder stays in it).
// Returns true when the search is restricted to the system folder.
bool RestrictDllSearchToSystemFolder();

}  // namespace th::win32
