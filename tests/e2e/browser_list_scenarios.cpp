// The bar's browser list seen from outside: which windows get buttons, in
// which order, with which titles, and what shell events do to the list and
// to the browser windows. The list is read through the bar's tooltip
// control (one tool per entry, id = window, rectangle = painted button) and
// through the screen.
//
// Wine's shell hook reports creation (1) and destruction (2) but never
// activation (4) or redraw (6): those are sent to the bar by the driver,
// as the hook would send them.
#include "rig_list.h"

#include <algorithm>
#include <doctest/doctest.h>

using namespace rig;

namespace {

// Tool ids ordered by their buttons' left edges: the list order.
std::vector<HWND> ListOrder(HWND tip) {
  std::vector<Tool> tools = ToolsOf(tip);
  std::stable_sort(tools.begin(), tools.end(),
                   [](const Tool& a, const Tool& b) { return a.rect.left < b.rect.left; });
  std::vector<HWND> order;
  for (const Tool& t : tools) order.push_back((HWND)t.id);
  return order;
}

bool WaitForToolCount(HWND tip, int count) {
  return WaitUntil([&] { return ToolCount(tip) == count; });
}

// IEFrame windows of a process, in enumeration (Z) order.
std::vector<HWND> FramesOf(const Process& p, const char* cls = "IEFrame") {
  std::vector<HWND> frames;
  for (HWND w : TopLevelWindows(cls))
    if (ProcessOf(w) == p.pid) frames.push_back(w);
  return frames;
}

}  // namespace

TEST_CASE("browser list: windows open at start in reverse enumeration order, later ones appended") {
  Scenario s("list order");
  BrowserFixture browser(s, "--title \"A - Microsoft Internet Explorer\" --title \"B\"");
  REQUIRE(browser.Ready());
  std::vector<HWND> enumerated = FramesOf(browser.process);
  REQUIRE(enumerated.size() == 2);
  BarRun run(s, Quiet());
  REQUIRE(run.bar);
  REQUIRE(run.tip);

  std::vector<PaintedButton> buttons = WaitForButtons(run.bar, 2);
  REQUIRE(buttons.size() == 2);
  CHECK(ListOrder(run.tip) == std::vector<HWND>{enumerated[1], enumerated[0]});
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)enumerated[0]) == TextOf(enumerated[0]).substr(0, 1));

  HWND c = browser.Open("IEFrame", "C - Microsoft Internet Explorer");
  REQUIRE(c);
  buttons = WaitForButtons(run.bar, 3);
  CHECK(buttons.size() == 3);
  CHECK(ListOrder(run.tip) == std::vector<HWND>{enumerated[1], enumerated[0], c});
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)c) == "C");
  CHECK(buttons[2].left == 54 + 2 * 162);
}

TEST_CASE("browser list: display titles without the browser's suffix, re-read on redraw only") {
  Scenario s("list titles");
  BrowserFixture browser(s);
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet());
  REQUIRE(run.tip);
  HWND plain = browser.Open("IEFrame", "  Plain page - Microsoft Internet Explorer  ");
  HWND exact = browser.Open("IEFrame", " - Microsoft Internet Explorer");
  HWND twice = browser.Open("IEFrame", "Twice - Microsoft Internet Explorer - Microsoft Internet Explorer");
  HWND amp = browser.Open("IEFrame", "R&D && more");
  std::string longTitle(300, 'W');
  HWND wide = browser.Open("IEFrame", (longTitle + " - Microsoft Internet Explorer").c_str());
  REQUIRE(WaitForToolCount(run.tip, 5));
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)plain) == "Plain page");
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)exact) == "");
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)twice) == "Twice");
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)amp) == "R&D && more");
  // Wine's TTM_GETTEXT hands out at most 80 characters of a tip.
  std::string wideText = ToolText(run.tip, run.bar, (UINT_PTR)wide);
  CHECK(wideText.size() >= 80);
  CHECK(longTitle.compare(0, wideText.size(), wideText) == 0);
  // The tip shows "&" as it stands and shows while the bar is inactive.
  LONG style = GetWindowLongA(run.tip, GWL_STYLE);
  CHECK((style & TTS_NOPREFIX) != 0);
  CHECK((style & TTS_ALWAYSTIP) != 0);

  SUBCASE("code 6 re-reads the title of every entry of that window") {
    REQUIRE(browser.Do("title", plain, "Renamed - Microsoft Internet Explorer"));
    // Nothing re-reads the text until the shell says the window was redrawn.
    CHECK(ToolText(run.tip, run.bar, (UINT_PTR)plain) == "Plain page");
    REQUIRE(SendShellEvent(run.bar, plain, 6));
    CHECK(ToolText(run.tip, run.bar, (UINT_PTR)plain) == "Renamed");
    CHECK(ToolText(run.tip, run.bar, (UINT_PTR)twice) == "Twice");
  }
}

TEST_CASE("browser list: a destroyed window removes its first entry only") {
  Scenario s("list destroy");
  BrowserFixture browser(s, "--title A");
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet());
  REQUIRE(run.tip);
  HWND a = browser.Windows().at(0);
  HWND b = browser.Open("IEFrame", "B");
  REQUIRE(WaitForToolCount(run.tip, 2));
  // The shell reporting A's creation once more lists it twice.
  REQUIRE(SendShellEvent(run.bar, a, 1));
  REQUIRE(WaitForButtons(run.bar, 3).size() == 3);
  CHECK(ListOrder(run.tip) == std::vector<HWND>{a, b, a});

  REQUIRE(browser.Do("close", a));  // the hook reports code 2
  std::vector<PaintedButton> buttons = WaitForButtons(run.bar, 2);
  REQUIRE(buttons.size() == 2);
  CHECK(ToolCount(run.tip) == 2);
  std::vector<Tool> tools = ToolsOf(run.tip);
  REQUIRE(tools.size() == 2);
  CHECK((HWND)tools[0].id == b);
  CHECK((HWND)tools[1].id == a);
  CHECK(tools[0].rect.left == 54);
  CHECK(tools[1].rect.left == 54 + 162);

  // A destroyed notification for a window that is not listed changes nothing.
  REQUIRE(SendShellEvent(run.bar, browser.Open("Other", "other"), 2));
  CHECK(ToolCount(run.tip) == 2);
}

TEST_CASE("browser list: Windows Explorer folders only while they are caught") {
  for (int catchExplorer : {1, 0}) {
    CAPTURE(catchExplorer);
    Scenario s(catchExplorer ? "list explorer caught" : "list explorer ignored");
    BrowserFixture browser(s, "--class CabinetWClass --title Folder --class IEFrame --title A");
    REQUIRE(browser.Ready());
    BarRun run(s, Quiet("Catch Windows Explorer windows=" + std::to_string(catchExplorer) + "\r\n"));
    REQUIRE(run.tip);
    HWND folder = FramesOf(browser.process, "CabinetWClass").at(0);
    HWND a = FramesOf(browser.process).at(0);
    const int expected = catchExplorer ? 2 : 1;
    REQUIRE(WaitForButtons(run.bar, expected).size() == (size_t)expected);
    HWND later = browser.Open("CabinetWClass", "Later folder");
    REQUIRE(later);
    if (catchExplorer) CHECK(WaitForToolCount(run.tip, 3));
    else CHECK_FALSE(WaitForToolCount(run.tip, 2));

    // A folder's activation moves the highlight to its button when folders
    // are caught, and clears it when not. Each state is waited for on the
    // screen, so that neither is read before its repaint.
    const size_t count = catchExplorer ? 3 : 1;
    auto highlighted = [&](HWND w) {
      std::vector<PaintedButton> buttons = PaintedButtons(run.bar);
      std::vector<HWND> order = ListOrder(run.tip);
      if (buttons.size() != count || order.size() != count) return false;
      for (size_t i = 0; i < count; ++i)
        if (buttons[i].active != (order[i] == w)) return false;
      return true;
    };
    REQUIRE(SendShellEvent(run.bar, a, 4));
    REQUIRE(WaitUntil([&] { return highlighted(a); }));
    REQUIRE(SendShellEvent(run.bar, folder, 4));
    CHECK(WaitUntil([&] { return highlighted(catchExplorer ? folder : nullptr); }));
  }
}

TEST_CASE("browser list: placement of browser windows") {
  SUBCASE("maximise: at start, when created and again on every activation") {
    Scenario s("placement maximise");
    BrowserFixture browser(s, "--title A");
    REQUIRE(browser.Ready());
    HWND a = browser.Windows().at(0);
    CHECK_FALSE(IsZoomed(a));
    BarRun run(s, Quiet("Maximize browser windows=1\r\n"));
    REQUIRE(run.bar);
    CHECK(WaitUntil([&] { return IsZoomed(a) != 0; }));
    HWND b = browser.Open("IEFrame", "B");
    CHECK(IsZoomed(b));
    REQUIRE(browser.Do("restore", b));
    REQUIRE_FALSE(IsZoomed(b));
    REQUIRE(SendShellEvent(run.bar, b, 4));
    CHECK(WaitUntil([&] { return IsZoomed(b) != 0; }));
  }
  SUBCASE("align: every window to the stored rectangle, defaults 0, 0, 700, 500") {
    Scenario s("placement align");
    BrowserFixture browser(s, "--title A");
    REQUIRE(browser.Ready());
    HWND a = browser.Windows().at(0);
    BarRun run(s, Quiet("Align browser windows=1\r\n"));
    REQUIRE(run.bar);
    auto at = [](HWND w, RECT want) {
      return WaitUntil([&] { RECT r = WindowRect(w); return EqualRect(&r, &want) != 0; });
    };
    CHECK(at(a, {0, 0, 700, 500}));
    HWND b = browser.Open("IEFrame", "B");
    CHECK(at(b, {0, 0, 700, 500}));
    REQUIRE(browser.Do("move", b, "30 40 200 100"));
    REQUIRE(SendShellEvent(run.bar, b, 4));
    CHECK(at(b, {0, 0, 700, 500}));
  }
  SUBCASE("align to a rectangle of the settings file, applied as stored") {
    Scenario s("placement align custom");
    BrowserFixture browser(s, "--title A");
    REQUIRE(browser.Ready());
    HWND a = browser.Windows().at(0);
    BarRun run(s, Quiet("Align browser windows=1\r\nLeft=-20\r\nTop=30\r\nWidth=600\r\nHeight=150\r\n"));
    REQUIRE(run.bar);
    RECT want = {-20, 30, 580, 180};
    CHECK(WaitUntil([&] { RECT r = WindowRect(a); return EqualRect(&r, &want) != 0; }));
  }
  SUBCASE("both on in a hand-edited file: all windows maximised then aligned, a new one maximised") {
    Scenario s("placement both");
    BrowserFixture browser(s, "--title A");
    REQUIRE(browser.Ready());
    HWND a = browser.Windows().at(0);
    BarRun run(s, Quiet("Maximize browser windows=1\r\nAlign browser windows=1\r\n"));
    REQUIRE(run.bar);
    RECT want = {0, 0, 700, 500};
    CHECK(WaitUntil([&] { RECT r = WindowRect(a); return EqualRect(&r, &want) != 0; }));
    CHECK_FALSE(IsZoomed(a));
    HWND b = browser.Open("IEFrame", "B");
    CHECK(IsZoomed(b));
  }
  SUBCASE("neither: windows stay where they are") {
    Scenario s("placement none");
    BrowserFixture browser(s, "--title A");
    REQUIRE(browser.Ready());
    HWND a = browser.Windows().at(0);
    REQUIRE(browser.Do("move", a, "30 40 200 100"));
    BarRun run(s, Quiet());
    REQUIRE(run.bar);
    HWND b = browser.Open("IEFrame", "B");
    REQUIRE(browser.Do("move", b, "50 60 300 200"));
    REQUIRE(SendShellEvent(run.bar, b, 4));
    RECT ra = WindowRect(a), rb = WindowRect(b);
    CHECK(ra.left == 30);
    CHECK(ra.right == 230);
    CHECK(rb.top == 60);
    CHECK(rb.bottom == 260);
    CHECK_FALSE(IsZoomed(b));
  }
}

TEST_CASE("browser list: in sticking mode the bar hangs under the activated browser window") {
  Scenario s("list sticking");
  BrowserFixture browser(s, "--title A");
  REQUIRE(browser.Ready());
  HWND a = browser.Windows().at(0);
  HWND b = browser.Open("IEFrame", "B");
  REQUIRE(browser.Do("move", a, "100 100 500 300"));
  REQUIRE(browser.Do("move", b, "300 200 400 250"));
  BarRun run(s, Quiet("IE sticking mode=1\r\n"));
  REQUIRE(run.bar);
  auto under = [&](RECT want) {
    return WaitUntil([&] { RECT r = WindowRect(run.bar); return EqualRect(&r, &want) != 0; });
  };
  REQUIRE(SendShellEvent(run.bar, a, 4));
  CHECK(under({100, 400, 600, 424}));
  REQUIRE(SendShellEvent(run.bar, b, 4));
  CHECK(under({300, 450, 700, 474}));
  // Another program's activation leaves the bar where it is.
  REQUIRE(SendShellEvent(run.bar, FindWindowA("Shell_TrayWnd", nullptr), 4));
  CHECK(under({300, 450, 700, 474}));
}
