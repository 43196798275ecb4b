// The browser list on a bar object without its window: which windows count
// as browsers, their display titles, the scan's order and the list's
// bookkeeping of shell events. Test windows of the browsers' classes are
// made in this process.
#include <doctest/doctest.h>
#include <algorithm>
#include <cstring>
#include "app/Settings.h"
#include "bar/BarWnd.h"

namespace {

class TestWindows {
public:
  ~TestWindows() { for (HWND w : made) DestroyWindow(w); }
  HWND Make(const char* className, const std::string& title, HWND owner = nullptr) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    HWND w = CreateWindowExA(0, className, title.c_str(), WS_OVERLAPPED, 0, 0, 100, 100, owner,
                             nullptr, wc.hInstance, nullptr);
    REQUIRE(w);
    made.push_back(w);
    return w;
  }
private:
  std::vector<HWND> made;
};

// Settings changed by a test are put back afterwards. A bar object without
// a window counts as hidden: a created notification would restore it from
// the tray and register an app bar for no window with the shell, which
// keeps that space from every later program of the desktop session.
struct SavedSettings {
  SavedSettings() { Settings.autoRestore = false; }
  ~SavedSettings() { Settings = saved; }
  SettingsRecord saved = Settings;
};

std::vector<HWND> WindowsOf(const CBarWnd& bar) {
  std::vector<HWND> list;
  for (const BrowserEntry& e : bar.browsers) list.push_back(e.window);
  return list;
}

BOOL CALLBACK CollectOurs(HWND w, LPARAM lp) {
  auto* ours = reinterpret_cast<std::vector<HWND>*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char name[32] = "";
  GetClassNameA(w, name, sizeof name);
  if (pid == GetCurrentProcessId() && !strcmp(name, "IEFrame")) ours->push_back(w);
  return TRUE;
}

}  // namespace

TEST_CASE("browser class: IEFrame always, CabinetWClass only while Explorer windows are caught") {
  SavedSettings saved;
  TestWindows windows;
  CBarWnd bar;
  HWND ie = windows.Make("IEFrame", "ie");
  HWND folder = windows.Make("CabinetWClass", "folder");
  HWND other = windows.Make("IEFrameX", "other");
  // A soft hyphen, which a locale collation ignores.
  HWND softHyphen = windows.Make("IE\xAD" "Frame", "soft hyphen");

  Settings.catchExplorer = true;
  CHECK(bar.IsBrowserClass(ie));
  CHECK(bar.IsBrowserClass(folder));
  CHECK_FALSE(bar.IsBrowserClass(other));
  CHECK_FALSE(bar.IsBrowserClass(softHyphen));
  CHECK_FALSE(bar.IsBrowserClass(nullptr));

  Settings.catchExplorer = false;
  CHECK(bar.IsBrowserClass(ie));
  CHECK_FALSE(bar.IsBrowserClass(folder));
}

TEST_CASE("browser class: the other browser classes count for windows without an owner") {
  SavedSettings saved;
  TestWindows windows;
  CBarWnd bar;
  const std::string longName(120, 'L');
  PackClassList(("OpWindow;" + longName).c_str(), bar.otherClasses);
  HWND opera = windows.Make("OpWindow", "opera");
  HWND dialog = windows.Make("OpWindow", "dialog", opera);
  HWND owned = windows.Make("IEFrame", "owned frame", opera);
  HWND longClass = windows.Make(longName.c_str(), "long");
  HWND longer = windows.Make((longName + "X").c_str(), "longer");
  CHECK(bar.IsBrowserClass(opera));
  CHECK_FALSE(bar.IsBrowserClass(dialog));
  CHECK(bar.IsBrowserClass(owned));  // as ever for "IEFrame"
  CHECK(bar.IsBrowserClass(longClass));
  CHECK_FALSE(bar.IsBrowserClass(longer));
}

namespace {

// A window text as an ANSI read gets it on a double-byte code page: 300
// two-byte characters, and a copy that stops before a character which does
// not fit whole, one byte short of a full buffer.
LRESULT CALLBACK DoubleByteTextProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  const int length = 600;
  if (msg == WM_GETTEXTLENGTH) return length;
  if (msg != WM_GETTEXT || wp == 0) return DefWindowProcA(w, msg, wp, lp);
  int copied = std::min<int>(length, (static_cast<int>(wp) - 1) & ~1);
  memset(reinterpret_cast<char*>(lp), 'x', copied);
  reinterpret_cast<char*>(lp)[copied] = 0;
  return copied;
}

}  // namespace

TEST_CASE("display title of a window: its whole text, however long") {
  TestWindows windows;
  std::string title;
  CBarWnd::MakeDisplayTitle(windows.Make("IEFrame", "  News - Microsoft Internet Explorer "), title);
  CHECK(title == "News");
  for (size_t length : {254u, 255u, 256u, 511u, 3000u}) {
    std::string longText(length, 'x');
    longText[length - 1] = 'y';
    CBarWnd::MakeDisplayTitle(windows.Make("IEFrame", longText + " - Microsoft Internet Explorer"),
                              title);
    CHECK(title == longText);
  }
  CBarWnd::MakeDisplayTitle(windows.Make("IEFrame", ""), title);
  CHECK(title.empty());

  WNDCLASSA wc = {};
  wc.lpfnWndProc = DoubleByteTextProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "DoubleByteTitle";
  RegisterClassA(&wc);
  HWND doubleByte = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 100, 100,
                                    nullptr, nullptr, wc.hInstance, nullptr);
  CBarWnd::MakeDisplayTitle(doubleByte, title);
  CHECK(title == std::string(600, 'x'));
  DestroyWindow(doubleByte);
}

TEST_CASE("scan: every browser window, in reverse enumeration order") {
  SavedSettings saved;
  Settings.catchExplorer = false;
  TestWindows windows;
  windows.Make("IEFrame", "A - Microsoft Internet Explorer");
  windows.Make("CabinetWClass", "folder");
  windows.Make("IEFrame", "B");
  windows.Make("Static", "not a browser");
  windows.Make("IEFrame", "C");
  std::vector<HWND> enumerated;
  EnumWindows(CollectOurs, reinterpret_cast<LPARAM>(&enumerated));
  REQUIRE(enumerated.size() == 3);

  CBarWnd bar;
  bar.ScanBrowserWindows();
  std::reverse(enumerated.begin(), enumerated.end());
  CHECK(WindowsOf(bar) == enumerated);
  for (const BrowserEntry& e : bar.browsers) {
    std::string expected;
    CBarWnd::MakeDisplayTitle(e.window, expected);
    CHECK(e.title == expected);
    CHECK(e.buttonRect.left == 0);
    CHECK(e.buttonRect.right == 0);
  }
}

TEST_CASE("shell events keep the list: append, remove the first match, retitle all matches") {
  SavedSettings saved;
  Settings.maximizeBrowsers = false;
  Settings.alignBrowsers = false;
  Settings.autoHide = false;
  Settings.stickingMode = false;
  TestWindows windows;
  HWND a = windows.Make("IEFrame", "A - Microsoft Internet Explorer");
  HWND b = windows.Make("IEFrame", "B");
  HWND other = windows.Make("Static", "other");
  CBarWnd bar;

  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(other), HSHELL_WINDOWCREATED) == 0);
  CHECK(bar.browsers.empty());
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(a), HSHELL_WINDOWCREATED) == 1);
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(b), HSHELL_WINDOWCREATED) == 1);
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(a), HSHELL_WINDOWCREATED) == 1);  // twice
  CHECK(WindowsOf(bar) == std::vector<HWND>{a, b, a});
  CHECK(bar.browsers[0].title == "A");

  // A redraw only marks the entries; their titles are read afterwards, once.
  SetWindowTextA(a, "A2 - Microsoft Internet Explorer");
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(a), HSHELL_REDRAW) == 1);
  CHECK(bar.browsers[0].title == "A");
  SetWindowTextA(a, "A3");
  bar.UpdateButtons();
  CHECK(bar.browsers[0].title == "A3");
  CHECK(bar.browsers[1].title == "B");
  CHECK(bar.browsers[2].title == "A3");
  // A change after that read is not lost; an unlisted window is no concern.
  SetWindowTextA(a, "A4");
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(a), HSHELL_REDRAW) == 1);
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(other), HSHELL_REDRAW) == 0);
  bar.UpdateButtons();
  CHECK(bar.browsers[2].title == "A4");

  bar.activeBrowser = bar.lastActiveBrowser = b;
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(a), HSHELL_WINDOWDESTROYED) == 1);
  CHECK(WindowsOf(bar) == std::vector<HWND>{b, a});
  CHECK(bar.activeBrowser == nullptr);
  CHECK(bar.lastActiveBrowser == nullptr);

  // A destroyed window that is not listed changes nothing.
  bar.activeBrowser = b;
  HWND c = windows.Make("IEFrame", "C");
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(c), HSHELL_WINDOWDESTROYED) == 1);
  CHECK(WindowsOf(bar) == std::vector<HWND>{b, a});
  CHECK(bar.activeBrowser == b);

  // A window gone between its redraw and the read keeps the title it had.
  HWND d = windows.Make("IEFrame", "D");
  bar.OnShellEvent(reinterpret_cast<WPARAM>(d), HSHELL_WINDOWCREATED);
  SetWindowTextA(d, "D2");
  CHECK(bar.OnShellEvent(reinterpret_cast<WPARAM>(d), HSHELL_REDRAW) == 1);
  DestroyWindow(d);
  bar.UpdateButtons();
  CHECK(bar.browsers.back().title == "D");
}

TEST_CASE("created notifications are counted to ten, closed windows included") {
  SavedSettings saved;
  Settings.maximizeBrowsers = false;
  Settings.alignBrowsers = false;
  TestWindows windows;
  CBarWnd bar;
  for (int i = 1; i <= 23; ++i) {
    HWND w = windows.Make("IEFrame", "W");
    bar.OnShellEvent(reinterpret_cast<WPARAM>(w), HSHELL_WINDOWCREATED);
    bar.OnShellEvent(reinterpret_cast<WPARAM>(w), HSHELL_WINDOWDESTROYED);
    CHECK(bar.browserCreateCount == i % 10);
  }
  CHECK(bar.browsers.empty());
  // Events for other windows do not count.
  bar.OnShellEvent(reinterpret_cast<WPARAM>(windows.Make("Static", "x")), HSHELL_WINDOWCREATED);
  CHECK(bar.browserCreateCount == 3);
}

TEST_CASE("window list menu: titles in list order, ids from 10000, only the active window checked") {
  std::vector<BrowserEntry> list(3);
  const char* titles[] = {"First", "A & B", "Third"};
  for (int i = 0; i < 3; ++i) {
    list[i].window = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x100 + i));
    list[i].title = titles[i];
  }
  HMENU menu = CreateWindowListMenu(list, list[1].window);
  REQUIRE(GetMenuItemCount(menu) == 3);
  for (int i = 0; i < 3; ++i) {
    CAPTURE(i);
    char text[32] = "";
    GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
    CHECK(std::string(text) == titles[i]);  // unchanged: "&" stays a mnemonic mark
    CHECK(GetMenuItemID(menu, i) == 10000u + i);
    CHECK(((GetMenuState(menu, i, MF_BYPOSITION) & MF_CHECKED) != 0) == (i == 1));
  }
  DestroyMenu(menu);

  menu = CreateWindowListMenu({}, nullptr);  // no browsers: an empty submenu
  CHECK(GetMenuItemCount(menu) == 0);
  DestroyMenu(menu);
}

TEST_CASE("a sticking bar hangs below where the browser ends, not where it is now") {
  SavedSettings saved;
  TestWindows windows;
  HWND w = windows.Make("IEFrame", "W");
  SetWindowPos(w, nullptr, 5, 6, 400, 300, SWP_NOZORDER | SWP_NOACTIVATE);
  auto same = [](RECT a, RECT b) { return EqualRect(&a, &b) != FALSE; };
  // Aligned: the posted request moves it to the aligned rectangle.
  Settings.alignBrowsers = true;
  Settings.alignLeft = 10, Settings.alignTop = 20, Settings.alignWidth = 300, Settings.alignHeight = 200;
  CHECK(same(BrowserEndRect(w), RECT{10, 20, 310, 220}));
  // Minimised and not aligned: it comes back where it was.
  Settings.alignBrowsers = false;
  ShowWindow(w, SW_SHOWMINNOACTIVE);
  REQUIRE(IsIconic(w));
  CHECK(same(BrowserEndRect(w), RECT{5, 6, 405, 306}));
}
