// The end-to-end rig: starts marbel.exe and fixture programs as separate
// processes in a fresh working directory and observes them from outside,
// as a user or another program could.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace rig {

// A check this system cannot make: said in the output as "SKIPPED", and a
// driver run that skipped any and failed none exits with SKIPPED_EXIT_CODE,
// which ctest shows as skipped. Cases that call it belong to the test suite
// MAY_SKIP, which ctest runs apart from the rest of their file.
void Skip(const std::string& reason);
#define MAY_SKIP doctest::test_suite("may_skip")
const int SKIPPED_EXIT_CODE = 77;

std::string BinDir();      // marbel.exe, barshell.dll, bartask.dll
std::string TestsDir();    // fixture programs (standin_shell.exe, standin_browser.exe)

// Polls cond every pollMs until it holds or timeoutMs passes, handling the
// driver's messages meanwhile.
bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs = 5000, DWORD pollMs = 10);
// Waits ms while handling the driver's messages (sent ones too).
void Pause(DWORD ms);
HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs = 5000);

// Windows version the Wine prefix reports to processes started from now on:
// "winxp" (toolbar taskbar), "win2k" (NT tab taskbar), "win98" (9x tab taskbar);
// "" removes the value, so Wine's default applies again.
void SetWindowsVersion(const char* version);

struct Process {
  HANDLE handle = nullptr;
  DWORD pid = 0;
  bool Running() const;
  bool WaitExit(DWORD timeoutMs = 5000) const;
  DWORD ExitCode() const;
  void Kill();
};

// Runs a Unix shell command (Wine shows the Unix root as drive Z:). Wine
// starts it without a handle to wait on, so callers wait for its effect.
void RunUnixShell(const std::string& command);

// The "MARBEL_MANAGER_CLASS" window of that process once its start-up is
// done (the process waits for input); nullptr when none came in time.
HWND WaitForBar(const Process& marbel, DWORD timeoutMs = 10000);

// One scenario: a fresh, empty working directory TestsDir()\scenarios\<name>
// (names unique across scenario files; left in place afterwards for a look)
// and every process it started. The destructor ends them and every other
// process that appeared meanwhile (browsers that marbel launched), so the
// next scenario starts clean. Process handles belong to the Scenario;
// copies handed out stay valid until it is destroyed.
class Scenario {
public:
  explicit Scenario(const char* name);
  ~Scenario();
  const std::string& Dir() const { return dir; }
  void WriteFile(const char* name, const std::string& text) const;
  std::string ReadFile(const char* name) const;   // empty when missing
  bool FileExists(const char* name) const;
  std::vector<std::string> Files() const;        // names in the directory

  // Starts a program with this scenario's directory as working directory.
  Process Start(const std::string& exePath, const std::string& args = "");
  Process StartMarbel();  // BinDir()\marbel.exe
  HWND StartMarbelAndWaitForBar(DWORD timeoutMs = 10000);
  Process StartFixture(const char* exeName, const std::string& args = "");

private:
  void EndNewProcesses() const;
  std::string dir;
  std::vector<Process> started;
  std::vector<DWORD> earlierProcesses;  // running before the scenario began
};

// Colours the scenarios give the bar (colors.ini), to find its parts on
// screen; none is a grey, so frames and the close glyph stand apart.
const COLORREF BAR_COLOR = RGB(0, 0, 128);
const COLORREF BUTTON_COLOR = RGB(0, 128, 0);
const COLORREF ACTIVE_COLOR = RGB(200, 0, 0);
const COLORREF TEXT_COLOR = RGB(255, 255, 0);
const COLORREF ACTIVE_TEXT_COLOR = RGB(0, 255, 255);
// A settings-file line "key=value\r\n" of a colour reference or an integer.
std::string ThemeLine(const char* key, DWORD value);
// colors.ini with the colours above.
std::string TestTheme();

// Message boxes: a visible top-level "#32770" window with this caption once
// its text control holds text (nullptr before), and that text.
HWND FindMessageBox(const char* caption, DWORD timeoutMs = 5000);
std::string MessageBoxText(HWND box);
void CloseMessageBox(HWND box);

RECT WindowRect(HWND w);
std::string ClassOf(HWND w);
std::string TextOf(HWND w);    // the window's own text; never waits on its thread
DWORD ProcessOf(HWND w);
COLORREF ScreenPixel(int x, int y);
SIZE ScreenSize();             // the primary screen (Wine's virtual desktop)
int ScreenBitsPerPixel();
// Top-level windows of a class (any title, hidden ones too), in Z order.
std::vector<HWND> TopLevelWindows(const char* className);
HWND FindPopupMenu(DWORD timeoutMs = 2000);  // a visible "#32768" window

// Where the shell's position query puts a new bar of this height at an
// edge (ABE_TOP, ABE_BOTTOM) now: beside the bars registered there, else at
// the screen's edge. Each query registers and removes an app bar, and the
// removal makes the shell tell every bar to place itself again: poll it at
// APPBAR_POLL_MS.
RECT AppBarPlace(UINT edge, int height);
inline RECT AppBarPlaceAtBottom(int height) { return AppBarPlace(ABE_BOTTOM, height); }
const DWORD APPBAR_POLL_MS = 250;

// Input as a user gives it, through SendInput: screen coordinates.
// Mouse input with its place (flags 0: a move alone).
void MouseAt(DWORD flags, int x, int y);
// MoveMouse returns once the system keeps the pointer there (a few tries).
void MoveMouse(int x, int y);
void Click(int x, int y, bool right = false);
void KeyDown(WORD vk);
void KeyUp(WORD vk);
void PressKey(WORD vk);

// standin_browser.exe, started in a scenario: frame windows of any class
// with given titles, driven by the commands documented in its source.
class BrowserFixture {
public:
  // args: initial windows, e.g. "--class IEFrame --title \"A\"".
  BrowserFixture(Scenario& scenario, const std::string& args = "");
  bool Ready() const { return control != nullptr; }
  HWND Open(const char* className, const char* title);
  // A window of owner's class that owner owns, as a browser's dialogs.
  HWND OpenOwned(HWND owner, const char* title);
  // verb: title, close, activate, show, hide, minimize, maximize, restore,
  // move, hang, unhang; arg: the text for title, "x y width height" for
  // move. True when the fixture did it.
  bool Do(const char* verb, HWND w, const std::string& arg = "");
  std::vector<HWND> Windows() const;  // its frame windows that exist now
  // Moves each of them to a small place clear of both screen edges, so that
  // a bar's pixels can be read: under Wine's virtual desktop a window that
  // the bar maximised or placed after it painted may show above the topmost
  // bar (the X side's stacking, not the Z order) and take its clicks.
  bool MoveClearOfBars();
  bool Quit();                        // true when the process has ended
  Process process;

private:
  LRESULT Send(const std::string& command) const;
  HWND control = nullptr;
};

}  // namespace rig
