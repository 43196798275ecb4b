// The bar's input rules: which button a point hits, the close glyph's
// corner, and starting the browser command line with its messages.
#include <doctest/doctest.h>
#include <string>
#include "bar/HitTest.h"
#include "bar/Launch.h"
#include "res/resource.h"

namespace {

BrowserEntry Entry(int left, int top, int right, int bottom) {
  BrowserEntry e;
  e.buttonRect = {left, top, right, bottom};
  return e;
}

std::string TempFile(const char* name, const std::string& content) {
  char dir[MAX_PATH];
  GetTempPathA(sizeof dir, dir);
  std::string path = std::string(dir) + name;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(f);
  return path;
}

}  // namespace

TEST_CASE("the button under a point: left and top edges in, right and bottom out, first wins") {
  std::vector<BrowserEntry> list = {Entry(54, 3, 214, 21), Entry(216, 3, 376, 21)};
  CHECK(ButtonAt(list, {54, 3}) == 0);
  CHECK(ButtonAt(list, {213, 20}) == 0);
  CHECK(ButtonAt(list, {214, 10}) == -1);  // right edge and the gap
  CHECK(ButtonAt(list, {215, 10}) == -1);
  CHECK(ButtonAt(list, {216, 10}) == 1);
  CHECK(ButtonAt(list, {100, 21}) == -1);  // bottom edge
  CHECK(ButtonAt(list, {100, 2}) == -1);
  CHECK(ButtonAt(list, {53, 10}) == -1);
  CHECK(ButtonAt({}, {100, 10}) == -1);

  // Overlapping rectangles: the earlier entry in the list takes the point.
  list.insert(list.begin(), Entry(200, 3, 300, 21));
  CHECK(ButtonAt(list, {250, 10}) == 0);
  CHECK(ButtonAt(list, {100, 10}) == 1);

  // A button laid out with no width (too many windows) is never hit.
  std::vector<BrowserEntry> empty = {Entry(54, 3, 54, 21), Entry(56, 3, 50, 21)};
  CHECK(ButtonAt(empty, {54, 10}) == -1);
  CHECK(ButtonAt(empty, {52, 10}) == -1);
  // Before the first paint every rectangle is empty.
  CHECK(ButtonAt({BrowserEntry()}, {0, 0}) == -1);
}

TEST_CASE("the close zone is the button's top-right 11 x 11 corner, while the glyph shows") {
  RECT b = {54, 3, 214, 21};
  CHECK(InCloseZone(b, {214 - 11, 3}));
  CHECK(InCloseZone(b, {213, 3 + 11}));
  CHECK(InCloseZone(b, {214 - 5, 3 + 5}));
  CHECK_FALSE(InCloseZone(b, {214 - 12, 5}));
  CHECK_FALSE(InCloseZone(b, {210, 3 + 12}));
  CHECK_FALSE(InCloseZone(b, {214, 5}));  // outside the button
  CHECK_FALSE(InCloseZone(b, {210, 2}));

  HWND a = reinterpret_cast<HWND>(0x100), other = reinterpret_cast<HWND>(0x200);
  CHECK(CloseGlyphShown(a, a, true, true));
  CHECK_FALSE(CloseGlyphShown(a, other, true, true));
  CHECK_FALSE(CloseGlyphShown(a, nullptr, true, true));
  CHECK(CloseGlyphShown(a, other, true, false));
  CHECK_FALSE(CloseGlyphShown(a, a, false, false));
  CHECK_FALSE(CloseGlyphShown(a, a, false, true));
}

TEST_CASE("the next window follows the active one in list order and wraps; with none active, the first") {
  std::vector<BrowserEntry> list(3);
  for (int i = 0; i < 3; ++i) list[i].window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x100 + i));
  CHECK(NextBrowser(list, list[0].window) == list[1].window);
  CHECK(NextBrowser(list, list[2].window) == list[0].window);
  CHECK(NextBrowser(list, nullptr) == list[0].window);
  CHECK(NextBrowser(list, reinterpret_cast<HWND>(0x999)) == list[0].window);  // not listed
  CHECK(NextBrowser({list[1]}, list[1].window) == list[1].window);
  CHECK(NextBrowser({}, nullptr) == nullptr);
}

TEST_CASE("a looked-up program path with blanks is quoted; others are kept") {
  CHECK(QuoteProgramPath("C:\\Program Files\\Internet Explorer\\iexplore.exe") ==
        "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\"");
  CHECK(QuoteProgramPath("C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE") == "C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE");
  CHECK(QuoteProgramPath("\"C:\\Program Files\\x.exe\"") == "\"C:\\Program Files\\x.exe\"");
  CHECK(QuoteProgramPath("iexplore.exe") == "iexplore.exe");
  CHECK(QuoteProgramPath("").empty());
}

TEST_CASE("the program part of a command line is the longest prefix naming a file, else the whole") {
  std::string root = TempFile("marbel-unit-quote", "");
  DeleteFileA(root.c_str());
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA((root + "\\Planted Dir").c_str(), nullptr);
  std::string planted = TempFile("marbel-unit-quote\\Planted.exe", "");
  std::string program = TempFile("marbel-unit-quote\\Planted Dir\\b.exe", "");
  CHECK(QuoteProgramPath(program + " -nohome") == '"' + program + "\" -nohome");
  CHECK(QuoteProgramPath("  " + program + "  --title A B") == '"' + program + "\"  --title A B");
  CHECK(QuoteProgramPath(program) == '"' + program + '"');
  // "...\Planted" is no file, though Planted.exe is: the whole line then.
  std::string missing = root + "\\Planted Dir\\missing.exe -x";
  CHECK(QuoteProgramPath(missing) == '"' + missing + '"');
  CHECK(QuoteProgramPath('"' + program + "\" -x") == '"' + program + "\" -x");
  // Found where the system looks for programs.
  CHECK(QuoteProgramPath("cmd.exe /c exit") == "\"cmd.exe\" /c exit");
  DeleteFileA(program.c_str());
  DeleteFileA(planted.c_str());
  RemoveDirectoryA((root + "\\Planted Dir").c_str());
  RemoveDirectoryA(root.c_str());
}

TEST_CASE("the command line is expanded into 260 characters or not started at all") {
  std::string expanded;
  SetEnvironmentVariableA("MARBEL_UNIT_DIR", "C:\\somewhere");
  REQUIRE(ExpandCommandLine("%MARBEL_UNIT_DIR%\\b.exe -new %NO_SUCH_MARBEL_VAR%", expanded));
  CHECK(expanded == "C:\\somewhere\\b.exe -new %NO_SUCH_MARBEL_VAR%");

  CHECK(ExpandCommandLine(std::string(259, 'x'), expanded));
  CHECK(expanded == std::string(259, 'x'));
  expanded = "unchanged";
  CHECK_FALSE(ExpandCommandLine(std::string(260, 'x'), expanded));
  CHECK(expanded == "unchanged");

  // Short before expansion, too long after it.
  SetEnvironmentVariableA("MARBEL_UNIT_LONG", std::string(260, 'y').c_str());
  CHECK_FALSE(ExpandCommandLine("C:\\%MARBEL_UNIT_LONG%\\b.exe", expanded));
  SetEnvironmentVariableA("MARBEL_UNIT_LONG", nullptr);
  SetEnvironmentVariableA("MARBEL_UNIT_DIR", nullptr);
  CHECK(std::string(COMMAND_TOO_LONG_MESSAGE).find("too long") != std::string::npos);
}

TEST_CASE("start results map to the four messages; success and unknown values show none") {
  CHECK(std::string(LaunchErrorMessage(0)) == "The system is out of memory or resources !");
  CHECK(std::string(LaunchErrorMessage(2)) == "The specified file was not found !");
  CHECK(std::string(LaunchErrorMessage(3)) == "The specified path was not found !");
  CHECK(std::string(LaunchErrorMessage(11)) ==
        "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image) !");
  for (UINT silent : {1u, 5u, 12u, 31u, 32u, 33u, 1000u}) CHECK(LaunchErrorMessage(silent) == nullptr);
}

TEST_CASE("starting a program returns what WinExec returns, without waiting for it") {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  CHECK(StartProgram(std::string(system) + "\\no-such-program-here.exe", SW_SHOW) == 2);
  // Windows reports a missing directory as 3; Wine searches for the file
  // and reports 2. Either way a "not found" message follows.
  UINT missingDirectory = StartProgram("C:\\no\\such\\directory\\b.exe", SW_SHOW);
  CHECK((missingDirectory == 3 || missingDirectory == 2));
  std::string notAProgram = TempFile("marbel-unit-not-a-program.exe", "just text, no program");
  CHECK(StartProgram("\"" + notAProgram + "\"", SW_SHOW) == 11);
  DeleteFileA(notAProgram.c_str());
  CHECK(StartProgram(std::string(system) + "\\cmd.exe /c exit", SW_HIDE) > 31);
}

TEST_CASE("the interface buttons' commands are taken on BN_CLICKED only, not on BN_DOUBLECLICKED") {
  for (UINT id : {IDC_NEW_WINDOW, IDC_CLOSE_RIGHT, IDC_CLOSE_LEFT, IDC_HIDE_RIGHT, IDC_HIDE_LEFT}) {
    int entries = 0;
    for (const fw::MessageEntry* e = CBarWnd::messageTable; e->kind != fw::EntryKind::End; ++e)
      if (e->kind == fw::EntryKind::Command && id >= e->idFirst && id <= e->idLast) {
        ++entries;
        CHECK(e->code == BN_CLICKED);
      }
    CHECK(entries == 1);
  }
}
