// The bar menu, opened by a right click on the empty part of the bar:
// its items chosen with the keyboard (Wine lets no other process read a
// menu's items), their effects on the stand-in browser's windows and on
// the bar, the "IE windows list" submenu, and the About box.
#include "rig_input.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

const std::string BASE = "Open default browser on start=0\r\nMaximize browser windows=0\r\n";

// Down presses that reach each item: separators are skipped.
enum Item { NEW_WINDOW = 1, MINIMIZE_ALL, CLOSE_ALL, HIDE_RESTORE, PREFERENCES, EXIT, ABOUT, WINDOW_LIST };

struct MenuRun {
  MenuRun(const char* name, const std::string& prefs = "") : run(name, BASE + prefs), browser(run.scenario) {
    REQUIRE(run.bar);
    REQUIRE(browser.Ready());
    a = browser.Open("IEFrame", "A");
    REQUIRE(WaitForButtons(run.bar, 1));
    b = browser.Open("IEFrame", "B");
    REQUIRE(WaitForButtons(run.bar, 2));
  }
  // Opens the bar menu; the point clicked.
  POINT Open() const {
    POINT p = EmptySpot(run.bar);
    SingleClick(p.x, p.y, true);
    REQUIRE(FindPopupMenu());
    return p;
  }
  void Choose(Item item) const {
    Open();
    ChooseByKeyboard(item);
  }
  // Chooses the index-th entry of "IE windows list".
  void ChooseWindow(int index) const {
    Open();
    for (int i = 0; i < WINDOW_LIST; ++i) PressKey(VK_DOWN);
    PressKey(VK_RIGHT);  // opens the submenu at its first item
    REQUIRE(WaitUntil([] { return VisibleMenus().size() == 2; }, 2000));
    ChooseByKeyboard(index);
  }
  BarRun run;
  BrowserFixture browser;
  HWND a = nullptr, b = nullptr;
};


}  // namespace

TEST_CASE("the bar menu opens above the click; Escape closes it and changes nothing") {
  MenuRun m("menu_open");
  POINT p = m.Open();
  HWND menu = FindPopupMenu();
  RECT r = WindowRect(menu);
  CHECK(r.left == p.x);
  CHECK(r.bottom == MenuBottomAbove(p.y));  // bottom-aligned at the click
  PressKey(VK_ESCAPE);
  CHECK(Settles([] { return VisibleMenus().empty(); }));
  CHECK(Stays([&] { return !IsIconic(m.a) && !IsIconic(m.b) && m.run.marbel.Running(); }));
  CHECK(IsWindow(m.a));
  CHECK(IsWindow(m.b));
}

TEST_CASE("bar menu: \"New Internet Explorer window\" runs the browser command") {
  std::string command = "\"" + TestsDir() + "\\standin_browser.exe\" --title New";
  MenuRun m("menu_new_window", "Internet Explorer path=" + command + "\r\n");
  m.Choose(NEW_WINDOW);
  CHECK(WaitForWindow("IEFrame", "New", 10000));
  CHECK(WaitForButtons(m.run.bar, 3));
}

TEST_CASE("bar menu: \"Minimize all browser windows\" only with \"Hide browsers when Marbel! hides\"") {
  SUBCASE("on") {
    MenuRun m("menu_minimize_all");
    m.Choose(MINIMIZE_ALL);
    CHECK(Settles([&] { return IsIconic(m.a) && IsIconic(m.b); }));
  }
  SUBCASE("off") {
    MenuRun m("menu_minimize_none", "Hide browsers when Marbel! hides=0\r\n");
    m.Choose(MINIMIZE_ALL);
    CHECK(Stays([&] { return !IsIconic(m.a) && !IsIconic(m.b) && VisibleMenus().empty(); }));
  }
}

TEST_CASE("bar menu: \"Close all browser windows\" closes every listed window") {
  MenuRun m("menu_close_all");
  m.Choose(CLOSE_ALL);
  CHECK(Settles([&] { return !IsWindow(m.a) && !IsWindow(m.b); }));
  CHECK(WaitForButtons(m.run.bar, 0));
  CHECK(m.run.marbel.Running());
}

TEST_CASE("bar menu: \"Exit\" ends the program and leaves the browser windows open") {
  MenuRun m("menu_exit");
  m.Choose(EXIT);
  CHECK(m.run.marbel.WaitExit(5000));
  // A close the bar posted on its way out takes the windows a moment later.
  CHECK(Stays([&] { return IsWindow(m.a) && IsWindow(m.b); }));
}

TEST_CASE("bar menu: \"About Marbel!\" shows the About box with the version") {
  MenuRun m("menu_about");
  m.Choose(ABOUT);
  HWND about = FindMessageBox("About Marbel!");
  REQUIRE(about);
  CHECK(ProcessOf(about) == m.run.marbel.pid);
  bool versionShown = false;
  for (HWND c = GetWindow(about, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
    versionShown |= ClassOf(c) == "Static" && TextOf(c) == "Marbel! v1.30";
  CHECK(versionShown);
  HWND ok = GetDlgItem(about, IDOK);
  CHECK(TextOf(ok) == "Ok");
  CloseMessageBox(about);
  CHECK_FALSE(IsWindow(about));
  CHECK(m.run.marbel.Running());
}

TEST_CASE("bar menu: the \"IE windows list\" brings the chosen window to the front") {
  MenuRun m("menu_window_list");
  REQUIRE(m.browser.Do("minimize", m.a));
  m.ChooseWindow(0);
  CHECK(Settles([&] { return !IsIconic(m.a) && GetForegroundWindow() == m.a; }));
  m.ChooseWindow(1);
  CHECK(Settles([&] { return GetForegroundWindow() == m.b; }));
  CHECK_FALSE(IsIconic(m.a));
}

TEST_CASE("a WM_CLOSE from outside while the bar menu is open ends the menu, then the program") {
  MenuRun m("menu_close_outside");
  m.Open();
  PostMessageA(m.run.bar, WM_CLOSE, 0, 0);
  CHECK(m.run.marbel.WaitExit(5000));
  CHECK(m.run.marbel.ExitCode() == 0);
}

TEST_CASE("a failed start's message box blocks the bar; a WM_CLOSE from outside ends it, then the program") {
  MenuRun m("menu_close_box", "Internet Explorer path=C:\\nowhere\\none.exe\r\n");
  m.Choose(NEW_WINDOW);
  HWND box = FindMessageBox("marbel");
  REQUIRE(box);
  CHECK(GetWindow(box, GW_OWNER) == m.run.bar);
  CHECK_FALSE(IsWindowEnabled(m.run.bar));
  PostMessageA(m.run.bar, WM_CLOSE, 0, 0);
  CHECK(m.run.marbel.WaitExit(5000));
  CHECK(m.run.marbel.ExitCode() == 0);
}
