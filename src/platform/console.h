#pragma once
// What the ledger needs of its console.
namespace th::platform {

// Lets UTF-8 text reach the console as it is, its code page unchanged
// (Windows: UTF-16 through WriteConsoleW); redirected output stays UTF-8.
void PrepareConsole();
// True when standard error is a terminal (a progress bar makes sense there).
bool StderrIsTerminal();
// True when the console was made for this process alone: started by a
// double-click or a folder dropped on it, so it closes when the program ends.
bool OwnsConsole();
// Waits for one key press.
void WaitForKey();

}  // namespace th::platform
