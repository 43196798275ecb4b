// The two hook libraries, driven directly: barshell.dll loaded into the
// driver, bartask.dll installed from hook_host.exe against the stand-in
// shell's taskbar (the hook reads the Windows version of the process that
// installs it, and the driver's own is fixed at its start).
//
// Wine reports window creation (1) and destruction (2) through the shell
// hook, but never activation (4) or redraw (6), so those are not tested here.
#include "rig.h"
#include "rig_shell.h"
#include "hooks/shell/barshell.h"

#include <commctrl.h>
#include <doctest/doctest.h>

using namespace rig;

namespace {

class Library {
public:
  explicit Library(const char* name) : module(LoadLibraryA((BinDir() + "\\" + name).c_str())) {}
  ~Library() { if (module) FreeLibrary(module); }
  template <class Fn> Fn Export(const char* name) const {
    return module ? (Fn)GetProcAddress(module, name) : nullptr;
  }
private:
  HMODULE module;
};

// --- shell hook ---------------------------------------------------------

struct ShellEvent { HWND window; LPARAM code; };
std::vector<ShellEvent> shellEvents;
int taskbarCreatedSeen;

LRESULT CALLBACK RecorderProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_BAR_SHELLEVENT) shellEvents.push_back({(HWND)wp, lp});
  if (msg == RegisterWindowMessageA("TaskbarCreated")) ++taskbarCreatedSeen;
  return DefWindowProcA(w, msg, wp, lp);
}

// A hidden top-level window of the driver in the bar window's place.
HWND MakeRecorder() {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = RecorderProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "ShellEventRecorder";
  RegisterClassA(&wc);
  shellEvents.clear();
  taskbarCreatedSeen = 0;
  return CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

std::string EventsFor(HWND window) {
  std::string codes;
  for (const ShellEvent& e : shellEvents)
    if (e.window == window) codes += std::to_string(e.code) + " ";
  return codes;
}

// --- taskbar hook -------------------------------------------------------

// Windows of the classes the purge looks at, owned by the driver: the purge
// only reads their class names. Hidden, titled for readable failures.
class TestWindows {
public:
  ~TestWindows() { for (HWND w : made) DestroyWindow(w); }
  HWND Make(const char* className, const char* title) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    HWND w = CreateWindowExA(0, className, title, WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                             wc.hInstance, nullptr);
    made.push_back(w);
    return w;
  }
private:
  std::vector<HWND> made;
};

class HookHost {
public:
  HookHost(Scenario& scenario, int catchExplorer)
      : process(scenario.StartFixture("hook_host.exe", "\"" + BinDir() + "\\bartask.dll\" " +
                                                           std::to_string(catchExplorer))) {}
  // SetTaskbarHook's result, -1 when the host did not come up.
  int SetResult() {
    WaitUntil([&] {
      for (HWND w : TopLevelWindows("HookHost"))
        if (ProcessOf(w) == process.pid) window = w;
      return window != nullptr || !process.Running();
    }, 10000);
    std::string title = window ? TextOf(window) : "";
    return title.rfind("SetTaskbarHook ", 0) == 0 ? atoi(title.c_str() + 15) : -1;
  }
  int Remove() const {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, RegisterWindowMessageA("HookHost.RemoveTaskbarHook"), 0, 0,
                        SMTO_NORMAL, 10000, &result);
    return (int)result;
  }
  Process process;
private:
  HWND window = nullptr;
};

struct TaskbarCase {
  const char* version;
  const char* shellArgs;
  int catchExplorer;
  const char* listClass;
  UINT otherMessage;  // a taskbar message that is not this taskbar's trigger
};

void CheckTaskbarPurge(const TaskbarCase& c) {
  WindowsVersion version(c.version);
  std::string name = std::string("taskbar_hook_") + c.version + "_" + c.shellArgs +
                     std::to_string(c.catchExplorer);
  Scenario scenario(name.c_str());
  TestWindows windows;
  StandinShell shell(scenario, c.shellArgs);
  REQUIRE(shell.tray);
  CHECK(FindWindowA("Shell_TrayWnd", nullptr) == shell.tray);
  bool withRebar = std::string(c.shellArgs).find("norebar") == std::string::npos;
  HWND rebar = FindWindowExA(shell.tray, nullptr, "RebarWindow32", nullptr);
  CHECK((rebar != nullptr) == withRebar);
  HWND taskSwitcher = FindWindowExA(withRebar ? rebar : shell.tray, nullptr, "MSTaskSwWClass", nullptr);
  CHECK(FindWindowExA(taskSwitcher, nullptr, c.listClass, nullptr));

  // A class spelled "ieframe" should keep its button too, but Wine cannot
  // show it: it reads another process's class name from the session's atom
  // table, where "ieframe" and "IEFrame" are one atom, spelled as first
  // registered.
  shell.Add(windows.Make("IEFrame", "ie1"));
  shell.Add(windows.Make("Notepad", "editor"));
  shell.Add(windows.Make("CabinetWClass", "folder"));
  shell.Add(windows.Make("IEFrameX", "lookalike"));
  shell.Add(windows.Make("IEFrame", "ie2"));
  REQUIRE(shell.Buttons() == "ie1 editor folder lookalike ie2");

  HookHost host(scenario, c.catchExplorer);
  REQUIRE(host.SetResult() == 1);
  std::string kept = c.catchExplorer ? "editor lookalike" : "editor folder lookalike";
  CHECK(shell.Buttons() == kept);

  // A browser window that comes later loses its button at the next trigger.
  shell.Add(windows.Make("IEFrame", "ie3"));
  shell.Trigger(1, c.otherMessage);
  CHECK(shell.Buttons() == kept + " ie3");
  shell.Trigger();
  CHECK(shell.Buttons() == kept);

  CHECK(host.Remove() != 0);
  CHECK(host.Remove() == 0);
  shell.Add(windows.Make("IEFrame", "ie4"));
  shell.Trigger();
  CHECK(shell.Buttons() == kept + " ie4");
}

// The shell hook library's two exports, and a stand-in browser to make windows.
struct ShellHookRun {
  explicit ShellHookRun(Scenario& scenario) : browser(scenario) {
    REQUIRE((setShellHook && removeShellHook));
    REQUIRE(browser.Ready());
  }
  Library barshell{"barshell.dll"};
  int (*setShellHook)(HWND, int) = barshell.Export<int (*)(HWND, int)>("SetShellHook");
  int (*removeShellHook)() = barshell.Export<int (*)()>("RemoveShellHook");
  BrowserFixture browser;
};

}  // namespace

TEST_CASE("shell hook: window creation and destruction in another process reach the bar") {
  Scenario scenario("shell_hook");
  ShellHookRun run(scenario);
  auto setShellHook = run.setShellHook;
  auto removeShellHook = run.removeShellHook;
  BrowserFixture& browser = run.browser;
  HWND recorder = MakeRecorder();
  REQUIRE(setShellHook(recorder, 0) == 1);

  HWND frame = browser.Open("IEFrame", "hooked");
  REQUIRE(frame);
  CHECK(WaitUntil([&] { return EventsFor(frame) == "1 "; }));
  browser.Do("close", frame);
  CHECK(WaitUntil([&] { return EventsFor(frame) == "1 2 "; }));
  Pause(300);
  CHECK(EventsFor(frame) == "1 2 ");

  SUBCASE("nothing arrives after removal; removing twice returns 0") {
    CHECK(removeShellHook() != 0);
    HWND later = browser.Open("IEFrame", "after removal");
    REQUIRE(later);
    browser.Do("close", later);
    CHECK(WaitUntil([&] { return !IsWindow(later); }));
    Pause(300);
    CHECK(EventsFor(later) == "");
    CHECK(removeShellHook() == 0);
  }
  SUBCASE("with the bar window gone, other programs' windows come and go as before") {
    DestroyWindow(recorder);
    HWND later = browser.Open("IEFrame", "bar gone");
    REQUIRE(later);
    browser.Do("close", later);
    CHECK(WaitUntil([&] { return !IsWindow(later); }));
    CHECK(removeShellHook() != 0);
  }
  DestroyWindow(recorder);
}

TEST_CASE("shell hook: only windows of the classes the bar lists are reported created or destroyed") {
  Scenario scenario("shell_hook_classes");
  ShellHookRun run(scenario);
  auto setShellHook = run.setShellHook;
  auto removeShellHook = run.removeShellHook;
  BrowserFixture& browser = run.browser;
  for (int catchExplorer : {0, 1}) {
    CAPTURE(catchExplorer);
    HWND recorder = MakeRecorder();
    REQUIRE(setShellHook(recorder, catchExplorer) == 1);
    HWND other = browser.Open("Notepad", "other");
    HWND folder = browser.Open("CabinetWClass", "folder");
    HWND frame = browser.Open("IEFrame", "frame");
    REQUIRE((other && folder && frame));
    for (HWND w : {other, folder, frame}) browser.Do("close", w);
    // Sent in order from one thread: the frame's last report comes after
    // any the others could have had.
    CHECK(WaitUntil([&] { return EventsFor(frame) == "1 2 "; }));
    CHECK(EventsFor(other) == "");
    CHECK(EventsFor(folder) == (catchExplorer ? "1 2 " : ""));
    CHECK(removeShellHook() != 0);
    DestroyWindow(recorder);
  }
}

TEST_CASE("taskbar hook: browser buttons leave the toolbar taskbar (XP)") {
  CheckTaskbarPurge({"winxp", "", 0, "ToolbarWindow32", TCM_GETITEMCOUNT});
  CheckTaskbarPurge({"winxp", "norebar", 1, "ToolbarWindow32", TCM_GETITEMCOUNT});
}

TEST_CASE("taskbar hook: browser buttons leave the tab taskbar (NT)") {
  CheckTaskbarPurge({"win2k", "norebar", 0, "SysTabControl32", TCM_GETITEMRECT});
  CheckTaskbarPurge({"win2k", "", 1, "SysTabControl32", TCM_GETITEMRECT});
}

TEST_CASE("taskbar hook: browser buttons leave the tab taskbar (9x)") {
  CheckTaskbarPurge({"win98", "", 0, "SysTabControl32", TCM_GETITEMCOUNT});
  CheckTaskbarPurge({"win98", "norebar", 1, "SysTabControl32", TCM_GETITEMCOUNT});
}

TEST_CASE("taskbar hook: triggers back to back never delete another program's button, nor read bad button data") {
  // The toolbar's deletions are posted; a purge running again before they
  // are handled must not post the same indices a second time.
  WindowsVersion version("winxp");
  Scenario scenario("taskbar_hook_back_to_back");
  TestWindows windows;
  StandinShell shell(scenario, "");
  REQUIRE(shell.tray);
  // The record layout is the shell's own: a button whose data points at
  // memory nobody may read is passed over, not read.
  shell.Command(STANDIN_SHELL_ADD, 0, 1);
  shell.Add(windows.Make("IEFrame", "ieA"));
  shell.Add(windows.Make("Notepad", "editorB"));
  shell.Add(windows.Make("IEFrame", "ieC"));
  shell.Add(windows.Make("Notepad", "editorD"));
  HookHost host(scenario, 0);
  REQUIRE(host.SetResult() == 1);
  // Each round: the first trigger purges, and the two right behind it come
  // before its deletions have landed.
  shell.Trigger(3);
  CHECK(shell.Buttons() == "? editorB editorD");

  shell.Add(windows.Make("IEFrame", "ieE"));
  shell.Add(windows.Make("Notepad", "editorF"));
  shell.Trigger(3);
  CHECK(shell.Buttons() == "? editorB editorD editorF");
}

TEST_CASE("taskbar hook: no taskbar to hook") {
  // No stand-in shell: Wine's own tray window has no "MSTaskSwWClass".
  Scenario scenario("taskbar_hook_no_taskbar");
  HookHost host(scenario, 0);
  HWND box = FindMessageBox("bartask.dll : error !", 10000);
  REQUIRE(box);
  // Found by its caption, the box may not have its text yet.
  std::string text;
  WaitUntil([&] { return !(text = MessageBoxText(box)).empty(); });
  CHECK(text == "Can't locate the taskbar!");
  CloseMessageBox(box);
  CHECK(host.SetResult() == 0);
  CHECK(host.Remove() == 0);
}

TEST_CASE("stand-in shell: a taskbar built anew is the one found, and announced") {
  Scenario scenario("standin_shell_recreate");
  StandinShell shell(scenario, "");
  REQUIRE(shell.tray);
  HWND listener = MakeRecorder();
  HWND old = shell.tray;
  HWND fresh = shell.tray = (HWND)shell.Command(STANDIN_SHELL_RECREATE);
  CHECK(fresh != nullptr);
  CHECK(fresh != old);
  CHECK_FALSE(IsWindow(old));
  CHECK(FindWindowA("Shell_TrayWnd", nullptr) == fresh);
  CHECK(TextOf(fresh) == STANDIN_SHELL_READY_TITLE);
  CHECK(shell.Buttons() == "");
  CHECK(WaitUntil([] { return taskbarCreatedSeen == 1; }));
  DestroyWindow(listener);
}
