#include "bar/Launch.h"
#include <vector>

const char COMMAND_TOO_LONG_MESSAGE[] =
    "The Internet Explorer path is too long (more than 259 characters when expanded) !";

namespace {

bool NamesFile(const std::string& name) {
  char found[MAX_PATH];
  DWORD length = SearchPathA(nullptr, name.c_str(), nullptr, sizeof found, found, nullptr);
  if (length == 0 || length >= sizeof found) return false;
  DWORD attributes = GetFileAttributesA(found);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string QuoteProgramPath(const std::string& commandLine) {
  const char blanks[] = " \t";
  size_t start = commandLine.find_first_not_of(blanks);
  if (start == std::string::npos || commandLine[start] == '"' ||
      commandLine.find_first_of(blanks, start) == std::string::npos)
    return commandLine;
  // The longest candidate first: the whole line, then each part before a blank.
  size_t end = commandLine.size();
  while (end > start && !NamesFile(commandLine.substr(start, end - start))) {
    size_t blank = commandLine.find_last_of(blanks, end - 1);
    end = blank == std::string::npos || blank < start
              ? start
              : commandLine.find_last_not_of(blanks, blank) + 1;
  }
  if (end == start) end = commandLine.size();
  return '"' + commandLine.substr(start, end - start) + '"' + commandLine.substr(end);
}

bool ExpandCommandLine(const std::string& commandLine, std::string& expanded) {
  char buffer[LAUNCH_BUFFER_SIZE];
  DWORD needed = ExpandEnvironmentStringsA(commandLine.c_str(), buffer, LAUNCH_BUFFER_SIZE);
  if (needed == 0 || needed > LAUNCH_BUFFER_SIZE) return false;
  expanded = buffer;
  return true;
}

UINT StartProgram(const std::string& commandLine, int showCommand) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION info = {};
  std::vector<char> writable(commandLine.begin(), commandLine.end());
  writable.push_back(0);
  if (CreateProcessA(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &info)) {
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 33;
  }
  // WinExec's own mapping: system error codes below 32 pass through, the
  // rest mean a file that is no program.
  UINT error = GetLastError();
  return error < 32 ? error : ERROR_BAD_FORMAT;
}

const char* LaunchErrorMessage(UINT result) {
  switch (result) {
    case 0: return "The system is out of memory or resources !";
    case ERROR_FILE_NOT_FOUND: return "The specified file was not found !";
    case ERROR_PATH_NOT_FOUND: return "The specified path was not found !";
    case ERROR_BAD_FORMAT:
      return "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image) !";
    default: return nullptr;
  }
}
