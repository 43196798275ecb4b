// Starting the browser command line: its expansion, the start itself and
// the message for a failed start.
#pragma once
#include <windows.h>
#include <string>

// The expanded command line must fit this many characters, terminator included.
const DWORD LAUNCH_BUFFER_SIZE = 260;

extern const char COMMAND_TOO_LONG_MESSAGE[];

// The command line with its program part quoted, so that an unquoted
// "C:\Program Files\x.exe -a" cannot start C:\Program.exe. A line already
// quoted or without blanks comes back unchanged; otherwise the program part
// is the longest prefix ending at a blank that names an existing file (as
// written, or found where the system looks for programs), else the whole
// line: better a "not found" message than a program nobody chose.
std::string QuoteProgramPath(const std::string& commandLine);

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
