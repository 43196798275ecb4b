// Starting the browser command line: its expansion, the start itself and
// the message for a failed start.
#pragma once
#include <windows.h>
#include <string>

// The expanded command line must fit this many characters, terminator included.
const DWORD LAUNCH_BUFFER_SIZE = 260;

extern const char COMMAND_TOO_LONG_MESSAGE[];

// A program path with a blank in it, quoted, so that "C:\Program Files\x.exe"
// cannot start C:\Program.exe; a path without blanks or already quoted
// comes back unchanged.
std::string QuoteProgramPath(const std::string& path);

// Expands environment references; false when the result does not fit
// LAUNCH_BUFFER_SIZE (a cut command line must never start).
bool ExpandCommandLine(const std::string& commandLine, std::string& expanded);

// Starts a command line the way WinExec does and returns what WinExec
// would (above 31 on success), but does not wait for the new process to
// become idle: a browser that creates its window reports it to the bar
// first, and would wait for a bar that waits for it.
UINT StartProgram(const std::string& commandLine, int showCommand);

// The message for a start result, or nullptr when there is none to show.
const char* LaunchErrorMessage(UINT result);
