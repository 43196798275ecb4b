// A listed browser window whose thread no longer handles messages: every
// action of the bar on it must return at once, because the bar only posts
// to browser windows and never waits for them. After each action the bar's
// message loop must handle a posted message within a second (see
// LoopProbe: a bar waiting on the hung window would still answer sent
// messages). Clicks reach the bar as posted mouse messages, menu items as
// posted keys: the same handlers as a user's input, without the input that
// Wine's virtual desktop now and then drops.
//
// Not here: the placement a shell notification asks for. The window's own
// thread sends that notification and waits for the bar, so it cannot be
// hung while the bar places it.
//
// The other way round, a hung bar: its Unix process stopped (SIGSTOP runs
// none of its code, a real hang), other programs must still make and end
// windows, though the shell hook in each of them reports to the bar.
#include "rig_fault.h"

#include <doctest/doctest.h>

using namespace rig;

namespace {

const WPARAM ID_EXIT = 124;
const WPARAM ID_HIDE_LEFT = 231;
const UINT WM_BAR_TRAYICON = WM_USER + 1;
const WPARAM ID_TRAY_ICON = 0x8003;
// Down presses from a fresh bar menu to its items (separators are skipped).
const int MINIMIZE_ALL = 2, CLOSE_ALL = 3;

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

void PostKeys(HWND menu, int downs) {
  for (int i = 0; i < downs; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

// Time for posted input to reach the handler before the probe is posted
// behind it (posted messages go before input in the queue).
void LetItAct() { Pause(300); }

// The Unix processes of a program stopped until this ends (SIGSTOP: none
// of their code runs, a real hang). Under Wine a process's Unix command
// line is its program's full Windows path.
struct Stopped {
  explicit Stopped(const std::string& program) {
    char full[MAX_PATH] = "";
    GetFullPathNameA(program.c_str(), MAX_PATH, full, nullptr);
    path = full;
    Signal("STOP");
  }
  ~Stopped() { Signal("CONT"); }
  void Signal(const char* name) const {
    RunUnixShell("for p in /proc/[0-9]*; do grep -qxzF '" + path + "' $p/cmdline 2>/dev/null && kill -" +
                 name + " ${p#/proc/}; done");
  }
  std::string path;
};

struct HungRun {
  explicit HungRun(const char* name, const std::string& prefs = "")
      : s(name), browser(s, "--title Hung --title Healthy"),
        run(s, Quiet(prefs + "Maximize browser windows=1\r\n"
                           "Show close button on IE buttons=1\r\n"
                           "only on active IE button=0\r\n"
                           "Hide browsers when Marbel! hides=1\r\n")),
        probe(run.bar, run.tip) {
    REQUIRE(browser.Ready());
    REQUIRE(run.tip);
    REQUIRE(probe.Listed());
    hung = FindWindowA("IEFrame", "Hung");
    healthy = FindWindowA("IEFrame", "Healthy");
    REQUIRE(hung);
    REQUIRE(healthy);
    REQUIRE(WaitUntil([&] { return ButtonOf(hung).right > ButtonOf(hung).left; }));
    REQUIRE(probe.BarLoops(3000));
  }
  // The bar may be stuck on the window: let it go before anything ends.
  ~HungRun() { browser.Do("unhang", hung); }
  void Hang() { REQUIRE(browser.Do("hang", hung)); }
  RECT ButtonOf(HWND w) const { return ToolFor(run.tip, w).rect; }
  void ChooseInBarMenu(int downs) {
    HWND menu = PostBarMenu(run.bar);
    REQUIRE(menu);
    PostKeys(menu, downs);
  }
  bool Loops() {
    LetItAct();
    return probe.BarLoops(1000);
  }
  // What the bar asked of the hung window is done once it answers again.
  bool DoneOnceItAnswers(const std::function<bool()>& done) {
    REQUIRE(browser.Do("unhang", hung));
    return WaitUntil(done);
  }

  Scenario s;
  BrowserFixture browser;
  BarRun run;
  LoopProbe probe;
  HWND hung = nullptr, healthy = nullptr;
};

}  // namespace

TEST_CASE("hung browser: clicks and notifications on its button return at once") {
  HungRun h("hung clicks");

  // Once the window answers again, what the bar asked of it is done.
  SUBCASE("a click on its button while it is minimised") {
    REQUIRE(h.browser.Do("minimize", h.hung));
    h.Hang();
    RECT b = h.ButtonOf(h.hung);
    PostMessageA(h.run.bar, WM_LBUTTONDOWN, 0, At(b.left + 8, b.bottom - 4));
    CHECK(h.Loops());
    CHECK(h.DoneOnceItAnswers([&] { return !IsIconic(h.hung); }));
  }
  SUBCASE("a click on its button") {
    REQUIRE(h.browser.Do("activate", h.healthy));
    REQUIRE(WaitUntil([&] { return GetForegroundWindow() == h.healthy; }));
    h.Hang();
    RECT b = h.ButtonOf(h.hung);
    PostMessageA(h.run.bar, WM_LBUTTONDOWN, 0, At(b.left + 8, b.bottom - 4));
    CHECK(h.Loops());
    CHECK(h.DoneOnceItAnswers([&] { return GetForegroundWindow() == h.hung; }));
  }
  SUBCASE("its close glyph: the close waits for the window, not the bar") {
    h.Hang();
    RECT b = h.ButtonOf(h.hung);
    PostMessageA(h.run.bar, WM_LBUTTONDOWN, 0, At(b.right - 6, b.top + 4));
    CHECK(h.Loops());
    CHECK(h.DoneOnceItAnswers([&] { return !IsWindow(h.hung); }));
  }
  SUBCASE("Minimize from its window menu") {
    h.Hang();
    RECT b = h.ButtonOf(h.hung);
    PostMessageA(h.run.bar, WM_RBUTTONDOWN, 0, At(b.left + 8, b.bottom - 4));
    HWND menu = FindPopupMenu(3000);
    REQUIRE(menu);
    PostKeys(menu, 1);
    CHECK(WaitUntil([] { return !FindPopupMenu(0); }, 2000));
    CHECK(h.Loops());
    CHECK(h.DoneOnceItAnswers([&] { return IsIconic(h.hung) != 0; }));
  }
}

TEST_CASE("hung browser: the bar menu's commands on all windows return at once") {
  HungRun h("hung menu");

  SUBCASE("Minimize all browser windows") {
    h.Hang();
    h.ChooseInBarMenu(MINIMIZE_ALL);
    CHECK(h.Loops());
    CHECK(WaitUntil([&] { return IsIconic(h.healthy) != 0; }, 2000));
    CHECK(h.DoneOnceItAnswers([&] { return IsIconic(h.hung) != 0; }));
  }
  SUBCASE("Close all browser windows") {
    h.Hang();
    h.ChooseInBarMenu(CLOSE_ALL);
    CHECK(h.Loops());
    CHECK(WaitUntil([&] { return !IsWindow(h.healthy); }, 2000));
    CHECK(h.DoneOnceItAnswers([&] { return !IsWindow(h.hung); }));
  }
}

TEST_CASE("hung browser: hiding, restoring and exiting return at once") {
  SUBCASE("hide into the tray, minimising the browser windows") {
    HungRun h("hung hide");
    h.Hang();
    PostMessageA(h.run.bar, WM_COMMAND, ID_HIDE_LEFT, 0);
    CHECK(h.Loops());
    CHECK_FALSE(IsWindowVisible(h.run.bar));
    CHECK(WaitUntil([&] { return IsIconic(h.healthy) != 0; }, 2000));
    CHECK(h.DoneOnceItAnswers([&] { return IsIconic(h.hung) != 0; }));
  }
  SUBCASE("restore from the tray, placing the browser windows") {
    HungRun h("hung restore");
    PostMessageA(h.run.bar, WM_COMMAND, ID_HIDE_LEFT, 0);
    REQUIRE(WaitUntil([&] { return !IsWindowVisible(h.run.bar) && IsIconic(h.hung); }));
    h.Hang();
    PostMessageA(h.run.bar, WM_BAR_TRAYICON, ID_TRAY_ICON, WM_LBUTTONDOWN);
    CHECK(h.Loops());
    CHECK(IsWindowVisible(h.run.bar));
    CHECK(WaitUntil([&] { return IsZoomed(h.healthy) != 0; }, 2000));
    CHECK(h.DoneOnceItAnswers([&] { return IsZoomed(h.hung) != 0; }));
  }
  SUBCASE("exit, closing the browser windows") {
    HungRun h("hung exit", "Close browser windows on exit=1\r\n");
    h.Hang();
    DWORD pid = ProcessOf(h.run.bar);
    HANDLE marbel = OpenProcess(SYNCHRONIZE, FALSE, pid);
    PostMessageA(h.run.bar, WM_COMMAND, ID_EXIT, 0);
    CHECK(WaitForSingleObject(marbel, 2000) == WAIT_OBJECT_0);
    CloseHandle(marbel);
    CHECK(WaitUntil([&] { return !IsWindow(h.healthy); }, 2000));
    CHECK(h.DoneOnceItAnswers([&] { return !IsWindow(h.hung); }));
  }
}

TEST_CASE("hung bar: other programs make and end windows at once, and the bar goes on afterwards") {
  Scenario s("hung bar");
  BrowserFixture browser(s);
  REQUIRE(browser.Ready());
  BarRun run(s, Quiet("Maximize browser windows=1\r\n"));
  REQUIRE(run.tip);
  auto answers = [&] {
    DWORD_PTR result;
    return SendMessageTimeoutA(run.bar, WM_NULL, 0, 0, SMTO_NORMAL, 200, &result) != 0;
  };
  const int listed = ToolCount(run.tip);
  HWND closed = browser.Open("IEFrame", "Closed meanwhile");
  REQUIRE(WaitUntil([&] { return ToolCount(run.tip) == listed + 1; }));
  // Hidden first: Wine would hand the activation to the stopped bar as the
  // window closes, and wait for it (Windows queues that for the bar).
  REQUIRE(browser.Do("hide", closed));
  {
    Stopped stopped(BinDir() + "\\marbel.exe");
    REQUIRE(WaitUntil([&] { return !answers(); }));
    // The first report waits out the hook's bound (5 s); once the system
    // takes the bar for hung (5 s without reading its queue) none waits.
    browser.Do("close", closed);  // the fixture's own bound (5 s) ends first
    CHECK(WaitUntil([&] { return !IsWindow(closed); }, 10000));
    // Waiting on each report would take minutes, on the bar for ever.
    DWORD start = GetTickCount();
    CHECK(ChurnsSucceed(StartChurn(s, 1, 20), 30000));
    DWORD took = GetTickCount() - start;
    INFO("a process started, and 20 windows made and ended, in " << took << " ms");
    CHECK(took < 15000);
  }
  REQUIRE(WaitUntil(answers));
  HWND later = browser.Open("IEFrame", "Later");
  REQUIRE(later);
  CHECK(WaitUntil([&] { return ToolFor(run.tip, later).id == (UINT_PTR)later; }));
  CHECK(ToolCount(run.tip) == listed + 1);  // "Later" listed, "Closed meanwhile" not
  CHECK(WaitUntil([&] { return IsZoomed(later) != 0; }));
}
