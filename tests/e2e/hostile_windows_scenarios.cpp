// Windows and notifications the bar must survive: titles far longer than
// any button, empty ones, ones full of "&", tabs and control characters;
// notifications about windows that are already gone, listed windows whose
// process died without telling anyone, and a burst of shell notifications
// with random codes and random handles. Afterwards the bar still answers
// and still lists a new browser window.
#include "rig_fault.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

const int WM_BAR_SHELLEVENT_CODES[] = {1, 2, 4, 6};

bool Answers(HWND bar) {
  DWORD_PTR result;
  return SendMessageTimeoutA(bar, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0;
}

bool IsListed(HWND tip, HWND w) { return ToolFor(tip, w).id == (UINT_PTR)w; }

// The bar still works: it answers, and lists a new window and unlists it.
void StillWorks(const BarRun& run, BrowserFixture& browser) {
  CHECK(Answers(run.bar));
  int count = ToolCount(run.tip);
  HWND fresh = browser.Open("IEFrame", "Fresh window");
  REQUIRE(fresh);
  CHECK(WaitUntil([&] { return IsListed(run.tip, fresh); }));
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)fresh) == "Fresh window");
  CHECK(browser.Do("close", fresh));
  CHECK(WaitUntil([&] { return ToolCount(run.tip) == count; }));
}

// The bar menu opened on the bar's empty part, its window list opened with
// the keyboard, and both closed again: the number of menus that were open
// (2 with the window list), -1 when they did not close.
int MenusShown(HWND bar) {
  if (!PostBarMenu(bar)) return 0;
  for (int i = 0; i < 8; ++i) PressKey(VK_DOWN);  // "IE windows list", past the separators
  PressKey(VK_RIGHT);
  int open = 0;
  WaitUntil([&] {
    open = 0;
    for (HWND w : TopLevelWindows("#32768")) open += IsWindowVisible(w) ? 1 : 0;
    return open == 2;
  }, 3000);
  PostMessageA(bar, WM_CANCELMODE, 0, 0);
  return WaitUntil([] { return !FindPopupMenu(0); }, 3000) ? open : -1;
}

}  // namespace

TEST_CASE("hostile windows: odd titles are listed, drawn, tipped and put in the menu") {
  Scenario s("hostile titles");
  BrowserFixture browser(s);
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet("Show close button on IE buttons=1\r\nonly on active IE button=0\r\n"));
  REQUIRE(run.tip);

  // Under Wine a window text's length is kept in 16 bits (64 KiB and more
  // is cut to the length modulo 65536), a window cannot be created with a
  // title above about 32 KiB (it can be retitled to one), and its tooltip
  // control gives back no text for a title that long.
  std::string huge = "Huge:" + std::string(64 * 1024 - 8, 'W');
  std::string longTitle = "Long:" + std::string(32000, 'W');
  const std::string ampersands = "Fish & Chips && more &";
  const std::string tabs = "Left\tmiddle\t\tright";
  const std::string controls = "Bell\a back\b escape\x1b del\x7f one\x01";
  HWND long1 = browser.Open("IEFrame", longTitle.c_str());
  HWND giant = browser.Open("IEFrame", "Giant");
  HWND empty = browser.Open("IEFrame", "");
  HWND amp = browser.Open("IEFrame", ampersands.c_str());
  HWND tab = browser.Open("IEFrame", tabs.c_str());
  REQUIRE(long1);
  REQUIRE(giant);
  REQUIRE(empty);
  REQUIRE(amp);
  REQUIRE(tab);
  CHECK(WaitUntil([&] { return ToolCount(run.tip) == 5; }));
  // The window list holds the titles as menu items ("&" and tabs are menu
  // syntax there).
  CHECK(MenusShown(run.bar) == 2);

  // Wine's menus do not open a window list that holds a title with control
  // characters: from here on only the bar menu itself is required.
  HWND ctl = browser.Open("IEFrame", controls.c_str());
  REQUIRE(ctl);
  CHECK(WaitUntil([&] { return ToolCount(run.tip) == 6; }));
  CHECK(WaitForButtons(run.bar, 6).size() == 6);

  // The tooltip control gives out at most its own buffer of a title.
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)long1).compare(0, 9, "Long:WWWW") == 0);
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)empty).empty());
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)amp) == ampersands);
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)tab) == tabs);
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)ctl) == controls);

  // Retitled to the long text, and the long one emptied: both re-read on redraw.
  CHECK(browser.Do("title", amp, longTitle));
  CHECK(browser.Do("title", long1, ""));
  CHECK(SendShellEvent(run.bar, amp, 6));
  CHECK(SendShellEvent(run.bar, long1, 6));
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)long1).empty());
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)amp).compare(0, 9, "Long:WWWW") == 0);
  REQUIRE(browser.Do("title", giant, huge));
  REQUIRE(GetWindowTextLengthA(giant) == (int)huge.size());
  CHECK(SendShellEvent(run.bar, giant, 6));
  CHECK(WaitForButtons(run.bar, 6).size() == 6);
  CHECK(MenusShown(run.bar) >= 1);
  StillWorks(run, browser);
}

TEST_CASE("hostile windows: notifications about windows that are gone change nothing") {
  Scenario s("hostile gone");
  BrowserFixture browser(s, "--title Kept");
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet());
  REQUIRE(run.tip);
  REQUIRE(ToolCount(run.tip) == 1);

  HWND gone = browser.Open("IEFrame", "Soon gone");
  REQUIRE(gone);
  REQUIRE(WaitUntil([&] { return ToolCount(run.tip) == 2; }));
  REQUIRE(browser.Do("close", gone));
  REQUIRE(WaitUntil([&] { return ToolCount(run.tip) == 1; }));
  for (int round = 0; round < 3; ++round)
    for (int code : WM_BAR_SHELLEVENT_CODES) CHECK(SendShellEvent(run.bar, gone, code));
  CHECK(ToolCount(run.tip) == 1);
  CHECK_FALSE(IsListed(run.tip, gone));
  StillWorks(run, browser);
}

TEST_CASE("hostile windows: listed windows whose process died are clicked, closed and shown safely") {
  Scenario s("hostile dead");
  BrowserFixture doomed(s, "--title \"Doomed 1\" --title \"Doomed 2\"");
  REQUIRE(doomed.Ready());
  BrowserFixture browser(s);
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet("Show close button on IE buttons=1\r\nonly on active IE button=0\r\n"
                                 "Allow minimization of IE=1\r\n"));
  REQUIRE(run.tip);
  std::vector<HWND> dead = doomed.Windows();
  REQUIRE(dead.size() == 2);
  REQUIRE(ToolCount(run.tip) == 2);
  std::vector<PaintedButton> buttons = WaitForButtons(run.bar, 2);
  REQUIRE(buttons.size() == 2);

  const std::string deadTitle = TextOf(dead[1]);
  REQUIRE(deadTitle.compare(0, 6, "Doomed") == 0);
  // A killed process tells no one: its windows stay listed until the bar ends.
  doomed.process.Kill();
  REQUIRE(WaitUntil([&] { return !IsWindow(dead[0]) && !IsWindow(dead[1]); }));
  CHECK(ToolCount(run.tip) == 2);

  for (const PaintedButton& b : buttons) {
    // The button (restore and bring to the front), then its close glyph.
    PostMessageA(run.bar, WM_LBUTTONDOWN, 0, MAKELPARAM(b.left + 8, 12));
    PostMessageA(run.bar, WM_LBUTTONDOWN, 0, MAKELPARAM(b.left + b.width - 6, 6));
  }
  // Menu commands: minimise all, close all, and each window-list entry.
  const WORD commands[] = {127, 123, 10000, 10001, 10199};
  for (WORD id : commands) PostMessageA(run.bar, WM_COMMAND, id, 0);
  for (int i = 0; i < 20; ++i) {
    DWORD_PTR result;
    InvalidateRect(run.bar, nullptr, TRUE);
    SendMessageTimeoutA(run.bar, WM_PAINT, 0, 0, SMTO_NORMAL, 2000, &result);
  }
  CHECK(ToolText(run.tip, run.bar, (UINT_PTR)dead[1]) == deadTitle);
  CHECK(MenusShown(run.bar) == 2);
  StillWorks(run, browser);
}

TEST_CASE("hostile windows: a burst of random shell notifications leaves the list intact") {
  Scenario s("hostile random");
  BrowserFixture browser(s, "--title One --title Two");
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet("Maximize browser windows=1\r\n"));
  REQUIRE(run.tip);
  std::vector<HWND> listed = browser.Windows();
  REQUIRE(listed.size() == 2);
  REQUIRE(ToolCount(run.tip) == 2);
  HWND gone = browser.Open("IEFrame", "Gone");
  REQUIRE(gone);
  REQUIRE(browser.Do("close", gone));

  std::vector<HWND> pool = {nullptr, gone, run.bar, run.tip, GetDesktopWindow(),
                            FindWindowA("Shell_TrayWnd", nullptr), listed[0], listed[1],
                            (HWND)(UINT_PTR)0xFFFFFFFF, (HWND)(UINT_PTR)0x1};
  unsigned seed = 20240611;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
  int sent = 0, answered = 0;
  for (int i = 0; i < 3000; ++i) {
    HWND w = next() % 3 ? pool[next() % pool.size()] : (HWND)(UINT_PTR)next();
    unsigned pick = next() % 4;
    int code = pick == 0 ? (int)next() : pick == 1 ? (int)(next() % 12) - 2
                                                  : WM_BAR_SHELLEVENT_CODES[next() % 4];
    // Created and destroyed notifications about real browser windows
    // change the list by design (and a created one may list a window
    // twice): those are the ones left out.
    std::string cls = ClassOf(w);
    if ((code == 1 || code == 2) && (cls == "IEFrame" || cls == "CabinetWClass")) continue;
    ++sent;
    answered += SendShellEvent(run.bar, w, code);
  }
  CHECK(answered == sent);
  CHECK(ToolCount(run.tip) == 2);
  CHECK(IsListed(run.tip, listed[0]));
  CHECK(IsListed(run.tip, listed[1]));
  REQUIRE(browser.MoveClearOfBars());
  CHECK(WaitForButtons(run.bar, 2).size() == 2);
  StillWorks(run, browser);
}
