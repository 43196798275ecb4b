// Self-tests of the rig: the desktop it runs on, scenarios and their
// processes, the stand-in browser, and what the observation helpers report.
#include "rig.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

const char kBrowserTitle[] = "A - Microsoft Internet Explorer";

// A window of the driver's own, painted in one colour.
LRESULT CALLBACK SolidProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE)
    SetWindowLongPtrA(w, GWLP_USERDATA, (LONG_PTR)((CREATESTRUCTA*)lp)->lpCreateParams);
  if (msg != WM_ERASEBKGND) return DefWindowProcA(w, msg, wp, lp);
  RECT r;
  GetClientRect(w, &r);
  HBRUSH brush = CreateSolidBrush((COLORREF)GetWindowLongPtrA(w, GWLP_USERDATA));
  FillRect((HDC)wp, &r, brush);
  DeleteObject(brush);
  return 1;
}

HWND MakeSolidWindow(COLORREF color, int x, int y, int cx, int cy) {
  static const char kClass[] = "RigSolidWindow";
  WNDCLASSA wc = {};
  wc.lpfnWndProc = SolidProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassA(&wc);  // once; later calls fail harmlessly
  return CreateWindowExA(WS_EX_TOPMOST, kClass, "solid", WS_POPUP | WS_VISIBLE, x, y, cx, cy,
                         nullptr, nullptr, wc.hInstance, (void*)(UINT_PTR)color);
}

std::string Trimmed(std::string text) {
  while (!text.empty() && strchr("\r\n ", text.back())) text.pop_back();
  return text;
}

// What `ver` prints in a program started in the scenario's directory.
std::string VersionSeenBy(Scenario& s) {
  Process cmd = s.Start("C:\\windows\\system32\\cmd.exe", "/c ver > ver.txt");
  CHECK(cmd.WaitExit(20000));
  return Trimmed(s.ReadFile("ver.txt"));
}

std::string RegistryString(HKEY root, const char* path, const char* name) {
  char value[MAX_PATH] = "";
  DWORD size = sizeof value;
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
  RegQueryValueExA(key, name, nullptr, nullptr, (BYTE*)value, &size);
  RegCloseKey(key);
  return value;
}

DWORD WINAPI ShowCheckBox(void*) {
  return MessageBoxA(nullptr, "Line one", "Rig check", MB_OK | MB_ICONEXCLAMATION);
}

// A popup menu of two items on a window of its own thread, as the bar shows
// its menu; the thread's result is the chosen command, 0 for none.
DWORD WINAPI ShowCheckMenu(void*) {
  HWND owner = CreateWindowExA(0, "STATIC", "menu owner", WS_POPUP | WS_VISIBLE, 500, 500, 50, 20,
                               nullptr, nullptr, nullptr, nullptr);
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 101, "First");
  AppendMenuA(menu, MF_STRING, 102, "Second");
  SetForegroundWindow(owner);
  DWORD chosen = TrackPopupMenu(menu, TPM_RETURNCMD, 500, 500, 0, owner, nullptr);
  DestroyMenu(menu);
  DestroyWindow(owner);
  return chosen;
}

DWORD ThreadResult(HANDLE thread) {
  DWORD result = 0;
  CHECK(WaitForSingleObject(thread, 5000) == WAIT_OBJECT_0);
  GetExitCodeThread(thread, &result);
  CloseHandle(thread);
  return result;
}

}  // namespace

TEST_CASE("rig: the test desktop is Wine's 1024 x 768 virtual desktop, quick to make windows on") {
  SIZE screen = ScreenSize();
  CHECK(screen.cx == 1024);
  CHECK(screen.cy == 768);
  RECT desktop = WindowRect(GetDesktopWindow());
  CHECK(desktop.right - desktop.left == 1024);
  CHECK(desktop.bottom - desktop.top == 768);

  // Without a window manager and without the virtual desktop, hiding or
  // destroying a visible window costs about 2 s each time.
  const int cycles = 20;
  DWORD start = GetTickCount();
  for (int i = 0; i < cycles; ++i) {
    HWND w = MakeSolidWindow(RGB(1, 2, 3), 10, 10, 200, 100);
    REQUIRE(w);
    UpdateWindow(w);
    DestroyWindow(w);
  }
  DWORD perCycle = (GetTickCount() - start) / cycles;
  MESSAGE("create-show-destroy of a top-level window: " << perCycle << " ms");
  CHECK(perCycle < 200);
}

TEST_CASE("rig: a scenario has a fresh working directory that its programs start in") {
  {
    Scenario s("rig working directory");
    CHECK(s.Files().empty());
    s.WriteFile("marbel.ini", "[Preferences]\r\nBar height=30\r\n");
    CHECK(s.FileExists("marbel.ini"));
    CHECK(s.ReadFile("marbel.ini") == "[Preferences]\r\nBar height=30\r\n");
    CHECK(s.ReadFile("missing.ini").empty());
    CHECK_FALSE(s.FileExists("missing.ini"));

    Process cmd = s.Start("C:\\windows\\system32\\cmd.exe", "/c cd > cwd.txt");
    REQUIRE(cmd.WaitExit(20000));
    CHECK(cmd.ExitCode() == 0);
    CHECK(lstrcmpiA(Trimmed(s.ReadFile("cwd.txt")).c_str(), s.Dir().c_str()) == 0);
    CHECK(s.Files() == std::vector<std::string>{"cwd.txt", "marbel.ini"});
  }
  Scenario again("rig working directory");
  CHECK(again.Files().empty());
}

TEST_CASE("rig: ending a scenario ends its processes and the ones they started") {
  HANDLE child = nullptr, grandchild = nullptr;
  {
    Scenario s("rig cleanup");
    BrowserFixture browser(s, "--title child");
    REQUIRE(browser.Ready());
    child = OpenProcess(SYNCHRONIZE, FALSE, browser.process.pid);
    // A process started by a started process, as marbel starts browsers.
    std::string exe = TestsDir() + "\\standin_browser.exe";
    s.Start("C:\\windows\\system32\\cmd.exe", "/c start \"\" \"" + exe + "\" --title grandchild");
    HWND w = WaitForWindow("IEFrame", "grandchild", 20000);
    REQUIRE(w);
    grandchild = OpenProcess(SYNCHRONIZE, FALSE, ProcessOf(w));
    REQUIRE(child);
    REQUIRE(grandchild);
  }
  CHECK(WaitForSingleObject(child, 0) == WAIT_OBJECT_0);
  CHECK(WaitForSingleObject(grandchild, 0) == WAIT_OBJECT_0);
  CHECK_FALSE(FindWindowA("IEFrame", "grandchild"));
  CloseHandle(child);
  CloseHandle(grandchild);
}

TEST_CASE("rig: the stand-in browser makes frame windows of any class as commanded") {
  Scenario s("rig browser commands");
  BrowserFixture browser(
      s, std::string("--class IEFrame --title \"") + kBrowserTitle + "\" --class CabinetWClass --title B");
  REQUIRE(browser.Ready());

  SUBCASE("initial windows from the command line: visible, overlapped, resizable, unowned") {
    HWND a = FindWindowA("IEFrame", kBrowserTitle);
    HWND b = FindWindowA("CabinetWClass", "B");
    REQUIRE(a);
    REQUIRE(b);
    for (HWND w : {a, b}) {
      CHECK(ProcessOf(w) == browser.process.pid);
      CHECK(IsWindowVisible(w));
      CHECK((GetWindowLongA(w, GWL_STYLE) & WS_OVERLAPPEDWINDOW) == WS_OVERLAPPEDWINDOW);
      CHECK_FALSE(GetWindow(w, GW_OWNER));
      CHECK_FALSE(GetParent(w));
    }
    CHECK(browser.Windows().size() == 2);
  }

  SUBCASE("open, retitle and close") {
    HWND c = browser.Open("IEFrame", "C - Microsoft Internet Explorer");
    REQUIRE(c);
    CHECK(ClassOf(c) == "IEFrame");
    CHECK(TextOf(c) == "C - Microsoft Internet Explorer");
    CHECK(IsWindowVisible(c));
    HWND other = browser.Open("SomeOtherFrame", "other");
    CHECK(ClassOf(other) == "SomeOtherFrame");
    CHECK(browser.Windows().size() == 4);

    CHECK(browser.Do("title", c, "D"));
    CHECK(TextOf(c) == "D");

    CHECK(browser.Do("close", c));
    CHECK_FALSE(IsWindow(c));
    CHECK(browser.Windows().size() == 3);
    CHECK_FALSE(browser.Do("title", c, "gone"));
    CHECK_FALSE(browser.Do("close", GetDesktopWindow()));  // not one of its windows
  }

  SUBCASE("activate, minimise, maximise, restore, hide, show") {
    HWND a = FindWindowA("IEFrame", kBrowserTitle);
    HWND b = FindWindowA("CabinetWClass", "B");
    CHECK(browser.Do("activate", a));
    CHECK(WaitUntil([&] { return GetForegroundWindow() == a; }));
    CHECK(browser.Do("activate", b));
    CHECK(WaitUntil([&] { return GetForegroundWindow() == b; }));

    CHECK(browser.Do("minimize", a));
    CHECK(IsIconic(a));
    CHECK(browser.Do("restore", a));
    CHECK_FALSE(IsIconic(a));
    CHECK(browser.Do("maximize", a));
    CHECK(IsZoomed(a));
    RECT r = WindowRect(a);
    CHECK(r.right - r.left >= 1024);
    CHECK(browser.Do("restore", a));
    CHECK_FALSE(IsZoomed(a));
    CHECK(browser.Do("hide", b));
    CHECK_FALSE(IsWindowVisible(b));
    CHECK(browser.Do("show", b));
    CHECK(IsWindowVisible(b));
  }

  SUBCASE("a hung window stops answering; the others and its text stay available") {
    HWND a = FindWindowA("IEFrame", kBrowserTitle);
    HWND b = FindWindowA("CabinetWClass", "B");
    DWORD_PTR result;
    REQUIRE(browser.Do("hang", a));
    CHECK_FALSE(SendMessageTimeoutA(a, WM_NULL, 0, 0, SMTO_NORMAL, 300, &result));
    CHECK(TextOf(a) == kBrowserTitle);
    CHECK_FALSE(browser.Do("title", a, "not now"));
    CHECK(browser.Do("title", b, "still answers"));
    CHECK(TextOf(b) == "still answers");
    CHECK(browser.Do("unhang", a));
    CHECK(SendMessageTimeoutA(a, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result));
  }

  SUBCASE("quit ends the process, hung windows too") {
    HWND a = FindWindowA("IEFrame", kBrowserTitle);
    REQUIRE(browser.Do("hang", a));
    CHECK(browser.Quit());
    CHECK_FALSE(browser.process.Running());
    CHECK_FALSE(IsWindow(a));
  }
}

TEST_CASE("rig: the stand-in browser's probe mode waits for a window class") {
  Scenario s("rig probe");
  BrowserFixture browser(s, "--class CabinetWClass --title probe");
  REQUIRE(browser.Ready());
  Process found = s.StartFixture("standin_browser.exe", "--wait-for CabinetWClass 2000");
  Process nested = s.StartFixture("standin_browser.exe", "--wait-for CabinetWClass/NoSuchChild 300");
  Process missing = s.StartFixture("standin_browser.exe", "--wait-for NoSuchFrame 300");
  REQUIRE(found.WaitExit(10000));
  REQUIRE(nested.WaitExit(10000));
  REQUIRE(missing.WaitExit(10000));
  CHECK(found.ExitCode() == 0);
  CHECK(nested.ExitCode() == 1);
  CHECK(missing.ExitCode() == 1);
}

TEST_CASE("rig: message boxes are found by caption and read") {
  // The box belongs to a thread of the driver's own; a program's box reads the same.
  HANDLE owner = CreateThread(nullptr, 0, ShowCheckBox, nullptr, 0, nullptr);
  HWND box = FindMessageBox("Rig check");
  CHECK(box);
  CHECK(MessageBoxText(box) == "Line one");
  CloseMessageBox(box);
  CHECK(ThreadResult(owner) == IDOK);
  CHECK_FALSE(FindWindowA("#32770", "Rig check"));
}

TEST_CASE("rig: a popup menu is found and an item chosen with the keyboard") {
  HANDLE owner = CreateThread(nullptr, 0, ShowCheckMenu, nullptr, 0, nullptr);
  HWND menu = FindPopupMenu();
  REQUIRE(menu);
  RECT r = WindowRect(menu);
  CHECK(r.left == 500);
  CHECK(r.top == 500);
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  PressKey(VK_RETURN);
  CHECK(ThreadResult(owner) == 102);
  CHECK_FALSE(IsWindowVisible(menu));
}

TEST_CASE("rig: WaitForBar finds the bar window of that process only") {
  Scenario s("rig wait for bar");
  BrowserFixture first(s, "--class MARBEL_MANAGER_CLASS --title first");
  BrowserFixture second(s, "--class MARBEL_MANAGER_CLASS --title second");
  REQUIRE(first.Ready());
  REQUIRE(second.Ready());
  CHECK(WaitForBar(second.process) == FindWindowA("MARBEL_MANAGER_CLASS", "second"));
  CHECK(WaitForBar(first.process) == FindWindowA("MARBEL_MANAGER_CLASS", "first"));

  Process barless = s.StartFixture("standin_browser.exe", "--wait-for NoSuchFrame 0");
  DWORD start = GetTickCount();
  CHECK_FALSE(WaitForBar(barless, 10000));
  CHECK(GetTickCount() - start < 5000);  // gave up when the process ended
}

TEST_CASE("rig: screen pixels and user input") {
  SUBCASE("a painted window shows on the screen") {
    const COLORREF color = RGB(12, 200, 34);
    HWND w = MakeSolidWindow(color, 100, 100, 200, 150);
    REQUIRE(w);
    UpdateWindow(w);
    CHECK(WaitUntil([&] { return ScreenPixel(150, 150) == color; }, 2000));
    DestroyWindow(w);
    CHECK(WaitUntil([&] { return ScreenPixel(150, 150) != color; }, 2000));
  }

  SUBCASE("the mouse lands on the pixel asked for") {
    for (POINT want : {POINT{0, 0}, POINT{321, 234}, POINT{1023, 767}}) {
      MoveMouse(want.x, want.y);
      POINT at = {-1, -1};
      CHECK(WaitUntil([&] { GetCursorPos(&at); return at.x == want.x && at.y == want.y; }, 1000));
      CHECK(at.x == want.x);
      CHECK(at.y == want.y);
    }
  }

  SUBCASE("a click activates a window; a held key is seen down") {
    Scenario s("rig input");
    BrowserFixture browser(s, "--title one --title two");
    REQUIRE(browser.Ready());
    HWND one = FindWindowA("IEFrame", "one");
    HWND two = FindWindowA("IEFrame", "two");
    REQUIRE(browser.Do("activate", two));
    REQUIRE(WaitUntil([&] { return GetForegroundWindow() == two; }));
    REQUIRE(browser.Do("move", one, "0 0 300 200"));
    REQUIRE(browser.Do("move", two, "400 300 300 200"));
    CHECK(WindowRect(two).left == 400);
    CHECK(WindowRect(two).bottom == 500);
    POINT spot = {150, 100};
    Click(spot.x, spot.y);
    CHECK(WaitUntil([&] { return GetForegroundWindow() == one; }));

    // Keys go to the focus window, which the click gives a moment later.
    CHECK(WaitUntil([&] {
      GUITHREADINFO gui = {};
      gui.cbSize = sizeof gui;
      return GetGUIThreadInfo(GetWindowThreadProcessId(one, nullptr), &gui) && gui.hwndFocus == one;
    }));
    KeyDown(VK_SHIFT);
    CHECK(WaitUntil([] { return GetAsyncKeyState(VK_SHIFT) < 0; }, 1000));
    KeyUp(VK_SHIFT);
    CHECK(WaitUntil([] { return GetAsyncKeyState(VK_SHIFT) >= 0; }, 1000));
  }
}

TEST_CASE("rig: the Windows version applies to programs started afterwards") {
  Scenario s("rig windows version");
  std::string before = RegistryString(HKEY_CURRENT_USER, "Software\\Wine", "Version");

  SetWindowsVersion("win98");
  CHECK(VersionSeenBy(s).find(" 4.10.") != std::string::npos);
  SetWindowsVersion("winxp");
  CHECK(VersionSeenBy(s).find(" 5.1.") != std::string::npos);
  SetWindowsVersion("");
  std::string standard = VersionSeenBy(s);
  CHECK(standard.find(" 5.1.") == std::string::npos);
  CHECK(standard.find(" 4.10.") == std::string::npos);
  SetWindowsVersion(before.c_str());
}

TEST_CASE("rig: Wine's iexplore.exe, the App Paths browser, opens an IEFrame window") {
  Scenario s("rig iexplore");
  std::string iexplore = RegistryString(
      HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\IEXPLORE.EXE", nullptr);
  REQUIRE_FALSE(iexplore.empty());
  if (iexplore.front() == '"') iexplore = iexplore.substr(1, iexplore.find('"', 1) - 1);
  Process browser = s.Start(iexplore, "about:blank");
  HWND frame = nullptr;
  CHECK(WaitUntil([&] {
    for (HWND w : TopLevelWindows("IEFrame"))
      if (ProcessOf(w) == browser.pid && IsWindowVisible(w)) frame = w;
    return frame != nullptr;
  }, 30000));
  MESSAGE("iexplore frame title: \"" << TextOf(frame) << "\"");
  CHECK_FALSE(FindWindowA(nullptr, "Wine Gecko Installer"));
}
