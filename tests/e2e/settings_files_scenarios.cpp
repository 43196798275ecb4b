// The settings files around a run: untouched when nothing changed, and a
// change made in the preferences kept for the run when its file cannot be
// written (a read-only marbel.ini, a read-only directory).
// Wine ignores FILE_ATTRIBUTE_READONLY for root, and so do Unix permission
// bits; the immutable flag (chattr +i) holds even for root, so the files
// are made read-only that way, or with chmod where chattr is refused, and
// each scenario first proves that it cannot write there itself.
#include "rig_prefs.h"
#include "rig_tray.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

const UINT WM_BAR_APPBAR = WM_USER + 2;
const UINT ID_PREFERENCES = 131;  // the bar menu's "Preferences"
const UINT ID_SHOW_ON_TOP = 247;  // "Show at top of desktop", General page
const std::string BASE = "Open default browser on start=0\r\nMaximize browser windows=0\r\n";
const std::string THEME = "[Color theme]\r\nBar background color=32768\r\n";

std::string UnixPath(const std::string& path) {
  std::string unix = path.substr(2);  // the drive Z: is the Unix root
  for (char& c : unix)
    if (c == '\\') c = '/';
  return unix;
}

// A file can be opened for writing; a directory can take a new file.
bool CanWrite(const std::string& path) {
  bool directory = (GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0;
  std::string probe = directory ? path + "\\probe.tmp" : path;
  HANDLE f = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  CloseHandle(f);
  if (directory) DeleteFileA(probe.c_str());
  return true;
}

// A file or directory nobody may write to until this ends: chmod for an
// ordinary user, the immutable flag for root.
struct ReadOnly {
  explicit ReadOnly(const std::string& path) : path(path) {
    std::string unix = "'" + UnixPath(path) + "'";
    RunUnixShell("chmod a-w " + unix + "; chattr +i " + unix + " 2>/dev/null");
    WaitUntil([&] { return !CanWrite(path); });
  }
  ~ReadOnly() { Undo(path); }
  static void Undo(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
    std::string unix = "'" + UnixPath(path) + "'";
    RunUnixShell("chattr -R -i " + unix + " 2>/dev/null; chmod -R u+w " + unix);
    WaitUntil([&] { return CanWrite(path); });
  }
  std::string path;
};

// What a scenario directory will be: freed of an earlier run's flags first,
// so that the scenario can clear it.
const char* Writable(const char* name) {
  ReadOnly::Undo(TestsDir() + "\\scenarios\\" + name);
  return name;
}

FILETIME WriteTime(const Scenario& s, const char* name) {
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  GetFileAttributesExA((s.Dir() + "\\" + name).c_str(), GetFileExInfoStandard, &data);
  return data.ftLastWriteTime;
}

bool SameTime(const FILETIME& a, const FILETIME& b) { return CompareFileTime(&a, &b) == 0; }

// At the top place the shell gave a 24-pixel bar before ours moved there.
bool AtTop(HWND bar, const RECT& place) {
  RECT r = WindowRect(bar);
  return IsWindowVisible(bar) && r.top == place.top && r.bottom == place.top + 24 &&
         r.right == ScreenSize().cx;
}

// The preferences through the bar's own command, their page controls
// through the messages a click makes: Wine's virtual desktop now and then
// drops synthesized input, and these scenarios are about the files.
HWND OpenPreferences(HWND bar) {
  PostMessageA(bar, WM_COMMAND, ID_PREFERENCES, 0);
  HWND dialog = WaitForWindow("#32770", PREFS_TITLE);
  if (dialog) WaitUntil([&] { return CurrentPage(dialog) != nullptr; });
  return dialog;
}

bool ClosePreferences(HWND dialog) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
  return WaitUntil([&] { return !IsWindow(dialog); });
}

// Ticks "Show at top of desktop" in the preferences: the bar moves at once,
// and still sits there after the shell asked it to place itself again,
// with the dialog open and after it closed.
void MoveToTopThroughPreferences(const BarRun& run) {
  const RECT place = AppBarPlace(ABE_TOP, 24);
  auto atTop = [&] { return AtTop(run.bar, place); };
  HWND dialog = OpenPreferences(run.bar);
  REQUIRE(dialog);
  HWND page = CurrentPage(dialog);
  REQUIRE(GetDlgItem(page, ID_SHOW_ON_TOP));
  CHECK_FALSE(IsChecked(page, ID_SHOW_ON_TOP));
  PostMessageA(GetDlgItem(page, ID_SHOW_ON_TOP), BM_CLICK, 0, 0);
  CHECK(WaitUntil([&] { return IsChecked(page, ID_SHOW_ON_TOP); }));
  INFO("top place " << place.top << ", bar at " << WindowRect(run.bar).top << ".." << WindowRect(run.bar).bottom
       << (IsWindowVisible(run.bar) ? " shown" : " hidden"));
  CHECK(Settles(atTop));
  PostMessageA(run.bar, WM_BAR_APPBAR, ABN_POSCHANGED, 0);
  CHECK(Stays(atTop));
  REQUIRE(ClosePreferences(dialog));
  PostMessageA(run.bar, WM_BAR_APPBAR, ABN_POSCHANGED, 0);
  CHECK(Stays(atTop));
  // The page shows the value in memory when it opens again.
  dialog = OpenPreferences(run.bar);
  REQUIRE(dialog);
  CHECK(IsChecked(CurrentPage(dialog), ID_SHOW_ON_TOP));
  CHECK(ClosePreferences(dialog));
}

}  // namespace

TEST_CASE("a run that changes nothing leaves both files as they were, to the byte and the time") {
  Scenario scenario("files_untouched");
  StandinShell shell(scenario);
  REQUIRE(shell.tray);
  scenario.WriteFile("marbel.ini", "[Preferences]\r\n" + BASE);
  scenario.WriteFile("colors.ini", THEME);
  const FILETIME prefsTime = WriteTime(scenario, "marbel.ini");
  const FILETIME themeTime = WriteTime(scenario, "colors.ini");
  Sleep(50);  // a write from now on would carry a later time
  Process marbel = scenario.StartMarbel();
  HWND bar = WaitForBar(marbel);
  REQUIRE(bar);
  // A run that reads every setting and writes none: a browser window comes
  // and goes, the bar hides into the tray and comes back, the shell asks it
  // to place itself again.
  BrowserFixture browser(scenario);
  REQUIRE(browser.Ready());
  HWND a = browser.Open("IEFrame", "A");
  REQUIRE(a);
  PostMessageA(bar, WM_COMMAND, 125, 0);  // "Hide/restore Marbel!"
  REQUIRE(WaitUntil([&] { return !IsWindowVisible(bar); }));
  PostMessageA(bar, WM_COMMAND, 125, 0);
  REQUIRE(WaitUntil([&] { return IsWindowVisible(bar) != FALSE; }));
  PostMessageA(bar, WM_BAR_APPBAR, ABN_POSCHANGED, 0);
  REQUIRE(browser.Do("close", a));
  PostMessageA(bar, WM_CLOSE, 0, 0);
  REQUIRE(marbel.WaitExit(5000));

  CHECK(scenario.ReadFile("marbel.ini") == "[Preferences]\r\n" + BASE);
  CHECK(scenario.ReadFile("colors.ini") == THEME);
  CHECK(SameTime(WriteTime(scenario, "marbel.ini"), prefsTime));
  CHECK(SameTime(WriteTime(scenario, "colors.ini"), themeTime));
  CHECK(scenario.Files() == std::vector<std::string>{"colors.ini", "marbel.ini"});
}

TEST_CASE("a read-only marbel.ini: a changed edge applies and stays for the run; the file stays as it was" * MAY_SKIP) {
  BarRun run(Writable("files_readonly_ini"), BASE);
  REQUIRE(run.bar);
  const std::string path = run.scenario.Dir() + "\\marbel.ini";
  const std::string before = run.scenario.ReadFile("marbel.ini");
  ReadOnly lock(path);
  // Without the immutable flag (a file system or container that refuses
  // it) root writes anyway: there is nothing to test then, and we say so.
  if (CanWrite(path)) {
    Skip("this system lets root write a read-only file");
    return;
  }
  const FILETIME time = WriteTime(run.scenario, "marbel.ini");

  MoveToTopThroughPreferences(run);
  CHECK(run.scenario.ReadFile("marbel.ini") == before);
  CHECK(SameTime(WriteTime(run.scenario, "marbel.ini"), time));
  CHECK(run.Exit());
  CHECK(run.scenario.Files() == std::vector<std::string>{"colors.ini", "marbel.ini"});
}

TEST_CASE("a read-only directory without marbel.ini: a changed edge applies and stays; no file appears" * MAY_SKIP) {
  BarRun run(Writable("files_readonly_dir"), BASE);
  REQUIRE(run.bar);
  // The bar has read its settings; now the file is gone and none may be made.
  REQUIRE(DeleteFileA((run.scenario.Dir() + "\\marbel.ini").c_str()));
  ReadOnly lock(run.scenario.Dir());
  if (CanWrite(run.scenario.Dir())) {
    Skip("this system lets root write in a read-only directory");
    return;
  }

  MoveToTopThroughPreferences(run);
  CHECK(run.Exit());
  CHECK(run.scenario.Files() == std::vector<std::string>{"colors.ini"});
}
