// What the shell hook costs a program that makes windows: this driver
// creates, shows and destroys unowned top-level windows (a class the bar
// does not list, then "IEFrame") with no receiver of the hook, with a
// receiver that answers at once, and with the real bar. The windows are
// made in rounds, and the three set-ups take turns within each round, so
// that changes in the machine's load hit all three alike.
#include "bench.h"
#include "bench_rig.h"
#include "hooks/shell/barshell.h"

namespace bench {
namespace {

enum Setup { NO_BAR, RECEIVER, REAL_BAR, SETUPS };
const char* const SETUP_NAMES[SETUPS] = {"no bar", "minimal receiver", "real bar"};
struct WindowClass { const char* name; const char* label; };
const WindowClass CLASSES[] = {{OTHER_CLASS, "other class"}, {"IEFrame", "IEFrame"}};
const int CLASS_COUNT = 2;

double CycleWindows(const char* className, int count) {
  double start = Now();
  for (int i = 0; i < count; ++i) {
    DestroyWindow(OpenWindow(className, "Bench window"));
    PumpMessages();
  }
  return Now() - start;
}

// The receiver's hook is in place once its window's title says so.
Process StartReceiver() {
  Process receiver = Start(TestsDir() + "\\bench_receiver.exe", "\"" + BinDir() + "\\barshell.dll\"");
  bool hooked = WaitUntil([&] {
    char title[32] = "";
    if (HWND w = WindowOf(receiver, "BenchReceiver")) GetWindowTextA(w, title, sizeof title);
    return !lstrcmpA(title, "SetShellHook 1") || !receiver.Running();
  }) && receiver.Running();
  if (!hooked) PrintLine("the receiver did not install the hook");
  RenewHookState();  // the wait may have taken its last message before the hook was set
  return receiver;
}

// What the shell reports per window made here, as the receiver counted it.
std::string EventsPerWindow(const Process& receiver, int windows) {
  HWND w = WindowOf(receiver, "BenchReceiver");
  UINT count = RegisterWindowMessageA("BenchReceiver.Count");
  std::string text;
  const struct { int code; const char* name; } codes[] = {
      {HSHELL_WINDOWCREATED, "created"}, {HSHELL_WINDOWDESTROYED, "destroyed"},
      {HSHELL_WINDOWACTIVATED, "activated"}, {HSHELL_REDRAW, "redraw"}};
  for (const auto& c : codes) {
    DWORD_PTR n = 0;
    SendMessageTimeoutA(w, count, c.code, 0, SMTO_NORMAL, 5000, &n);
    text += Format("%s%s %.2f", text.empty() ? "" : ", ", c.name, (double)n / windows);
  }
  return text;
}

// Microseconds per WM_BAR_SHELLEVENT sent straight to the receiver's window.
double ShellEventMicroseconds(HWND receiver, HWND window, int code, int events) {
  double start = Now();
  for (int i = 0; i < events; ++i) SendShellEvent(receiver, window, code);
  return 1000 * (Now() - start) / events;
}

// ownMainWindow: the driver keeps a visible window of its own, so a window
// closing here hands the activation to it, as on Windows. Without it Wine
// activates the topmost visible window, the bar, which Windows does not do
// for a tool window; the bar then pays for every activation.
void HookOverhead(int rounds, int windowsPerRound, bool ownMainWindow) {
  PrintLine(Format("1%s. Hook overhead: create, show and destroy %d top-level windows per set-up and class,"
                   " in %d rounds, %s", ownMainWindow ? "b" : "a", rounds * windowsPerRound, rounds,
                   ownMainWindow ? "the driver's own main window shown (fair)" : "no other window of the driver"));
  HWND mainWindow = ownMainWindow ? OpenWindow(OTHER_CLASS, "Bench main window") : nullptr;
  CycleWindows(OTHER_CLASS, 50);  // warm-up
  CycleWindows("IEFrame", 50);
  std::vector<double> times[SETUPS][CLASS_COUNT], overBare[CLASS_COUNT], overReceiver[CLASS_COUNT];
  bool listedEach = true;
  for (int round = 0; round < rounds; ++round) {
    double t[SETUPS][CLASS_COUNT];
    for (int setup = 0; setup < SETUPS; ++setup) {
      Process receiver;
      Bar bar;
      if (setup == RECEIVER) receiver = StartReceiver();
      if (setup == REAL_BAR) {
        bar = StartBar();
        // The bar really lists the windows it is sent: one, then none again.
        HWND probe = OpenWindow("IEFrame");
        listedEach = listedEach && WaitListed(bar, 1);
        DestroyWindow(probe);
        listedEach = listedEach && WaitListed(bar, 0);
        // Whatever the system activates when a window closes pays for
        // that activation on every window made here.
        if (round == 0) {
          char name[64] = "none";
          if (HWND active = GetForegroundWindow()) GetClassNameA(active, name, sizeof name);
          PrintLine(Format("   active once a window made here closes: %s%s", name,
                           GetForegroundWindow() == bar.window ? " (the bar)" : ""));
        }
      }
      for (int c = 0; c < CLASS_COUNT; ++c) {
        t[setup][c] = CycleWindows(CLASSES[c].name, windowsPerRound);
        times[setup][c].push_back(1000 * t[setup][c] / windowsPerRound);
      }
      if (setup == RECEIVER) {
        if (round == 0)
          PrintLine("   shell events per window: " + EventsPerWindow(receiver, CLASS_COUNT * windowsPerRound));
        Stop(receiver);
      }
      if (setup == REAL_BAR) StopBar(bar);
    }
    for (int c = 0; c < CLASS_COUNT; ++c) {
      overBare[c].push_back(t[REAL_BAR][c] / t[NO_BAR][c]);
      overReceiver[c].push_back(t[REAL_BAR][c] / t[RECEIVER][c]);
    }
  }
  for (int c = 0; c < CLASS_COUNT; ++c) {
    for (int setup = 0; setup < SETUPS; ++setup)
      PrintFigure(Format("   %s, %s, per window", CLASSES[c].label, SETUP_NAMES[setup]),
                  times[setup][c], "us");
    PrintFigure(Format("   %s, real bar / no bar", CLASSES[c].label), overBare[c], "x",
                c == 0 && ownMainWindow ? Verdict(Median(overBare[c]) <= 1.05, "target <= 1.05") : "");
    PrintFigure(Format("   %s, real bar / receiver", CLASSES[c].label), overReceiver[c], "x");
  }
  if (!listedEach) PrintLine("   (the bar did not list a probe window: the real-bar figures are suspect)");
  if (mainWindow) DestroyWindow(mainWindow);
}

// The receiving end alone: shell events sent straight to the bar and to the
// minimal receiver, taking turns, for a window the bar does not list (the
// library no longer sends those) and for a listed browser's redraw.
void DirectRoundTrips(int rounds, int events) {
  PrintLine(Format("1c. Direct round trip: %d WM_BAR_SHELLEVENT sent back to back, in %d rounds",
                   rounds * events, rounds));
  HWND other = OpenWindow(OTHER_CLASS, "Bench window");
  HWND browser = OpenWindow("IEFrame");
  const struct { HWND window; int code; const char* label; } kinds[] = {
      {other, HSHELL_WINDOWCREATED, "created, other class"}, {browser, HSHELL_REDRAW, "redraw, listed IEFrame"}};
  std::vector<double> times[2][2], ratios[2];  // [kind][receiver, bar]
  for (int round = 0; round < rounds; ++round) {
    double t[2][2];
    Process receiver = StartReceiver();
    for (int k = 0; k < 2; ++k)
      t[k][0] = ShellEventMicroseconds(WindowOf(receiver, "BenchReceiver"), kinds[k].window, kinds[k].code, events);
    Stop(receiver);
    Bar bar = StartBar();  // lists the browser from its scan at start
    for (int k = 0; k < 2; ++k) t[k][1] = ShellEventMicroseconds(bar.window, kinds[k].window, kinds[k].code, events);
    StopBar(bar);
    for (int k = 0; k < 2; ++k) {
      times[k][0].push_back(t[k][0]);
      times[k][1].push_back(t[k][1]);
      ratios[k].push_back(t[k][1] / t[k][0]);
    }
  }
  for (int k = 0; k < 2; ++k) {
    PrintFigure(Format("   %s, minimal receiver", kinds[k].label), times[k][0], "us");
    PrintFigure(Format("   %s, real bar", kinds[k].label), times[k][1], "us");
    PrintFigure(Format("   %s, real bar / receiver", kinds[k].label), ratios[k], "x",
                k == 1 ? Verdict(Median(ratios[k]) <= 1.10, "target <= 1.10") : "(the library sends none now)");
  }
  DestroyWindow(other);
  DestroyWindow(browser);
  PumpMessages();
}

}  // namespace

void BenchHookOverhead(int rounds, int windowsPerRound) {
  HookOverhead(rounds, windowsPerRound, false);
  HookOverhead(rounds, windowsPerRound, true);
  DirectRoundTrips(rounds, 10 * windowsPerRound);
}

}  // namespace bench
