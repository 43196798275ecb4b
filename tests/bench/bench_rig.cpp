#include "bench_rig.h"
#include "hooks/shell/barshell.h"
#include "tests/fixtures/standin_shell.h"
#include <commctrl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace bench {
namespace {

const char BAR_CLASS[] = "MARBEL_MANAGER_CLASS";
// No browser opened at start and browser windows left where they are, so
// that only the bar's own work is measured; every other setting is default.
const char PREFERENCES[] =
    "[Preferences]\r\n"
    "Open default browser on start=0\r\n"
    "Maximize browser windows=0\r\n"
    "Align browser windows=0\r\n";

const char* const OWN_CLASSES[] = {"IEFrame", "BenchOtherWindow"};
Process shell;

std::string DriverDir() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of('\\'));
}

LRESULT CALLBACK OwnWindowProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  return DefWindowProcA(w, msg, wp, lp);
}

void RegisterOwnClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  for (const char* name : OWN_CLASSES) {
    WNDCLASSA wc = {};
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = OwnWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
  }
}

struct Search { DWORD pid; const char* cls; HWND found; };

BOOL CALLBACK FindOfProcess(HWND w, LPARAM lp) {
  Search* s = (Search*)lp;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[256] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (pid == s->pid && (!s->cls || !lstrcmpA(cls, s->cls))) s->found = w;
  return s->found == nullptr;
}

struct ToolCount { HWND owner; int count; };

BOOL CALLBACK CountTools(HWND w, LPARAM lp) {
  ToolCount* t = (ToolCount*)lp;
  char cls[64] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (!lstrcmpA(cls, "tooltips_class32") && GetWindow(w, GW_OWNER) == t->owner) {
    DWORD_PTR n = 0;
    SendMessageTimeoutA(w, TTM_GETTOOLCOUNT, 0, 0, SMTO_NORMAL, 5000, &n);
    t->count += (int)n;
  }
  return TRUE;
}

int ToolsOwnedBy(HWND owner) {
  ToolCount count = {owner, 0};
  EnumWindows(CountTools, (LPARAM)&count);
  return count.count;
}

BOOL CALLBACK CloseOfProcess(HWND w, LPARAM lp) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == (DWORD)lp && !GetWindow(w, GW_OWNER)) PostMessageA(w, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

std::string Verdict(bool met, const std::string& target) {
  return "[" + target + ": " + (met ? "met]" : "MISSED]");
}

const char OTHER_CLASS[] = "BenchOtherWindow";

std::string BinDir() {
  // A plain path: a hook library loaded here under another spelling of its
  // path than the bar's is a second module to Wine.
  char path[MAX_PATH] = "";
  GetFullPathNameA((DriverDir() + "\\..\\bin").c_str(), MAX_PATH, path, nullptr);
  return path;
}
std::string TestsDir() { return DriverDir(); }

std::string RunDir() {
  std::string dir = DriverDir() + "\\bench-run";
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

double Now() {
  static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart * 1000.0 / frequency.QuadPart;
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void RenewHookState() {
  PostThreadMessageA(GetCurrentThreadId(), WM_NULL, 0, 0);
  PumpMessages();
}

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  for (;;) {
    RenewHookState();
    if (cond()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(1);
  }
}

void Pause(DWORD ms) { WaitUntil([] { return false; }, ms); }

bool Process::Running() const { return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT; }

Process Start(const std::string& exePath, const std::string& args) {
  std::string commandLine = "\"" + exePath + "\"";
  if (!args.empty()) commandLine += " " + args;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  Process p;
  if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                     RunDir().c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    p.handle = info.hProcess;
    p.pid = info.dwProcessId;
    p.exeName = exePath.substr(exePath.find_last_of('\\') + 1);
  } else {
    PrintLine("cannot start " + commandLine);
  }
  return p;
}

void Stop(Process& p, HWND mainWindow) {
  if (!p.handle) return;
  if (mainWindow) PostMessageA(mainWindow, WM_CLOSE, 0, 0);
  else EnumWindows(CloseOfProcess, p.pid);
  if (!WaitUntil([&] { return !p.Running(); }, 5000)) {
    TerminateProcess(p.handle, 1);
    WaitForSingleObject(p.handle, 5000);
  }
  CloseHandle(p.handle);
  p = Process();
}

HWND WindowOf(const Process& p, const char* className) {
  Search search = {p.pid, className, nullptr};
  EnumWindows(FindOfProcess, (LPARAM)&search);
  return search.found;
}

bool StartStandinShell() {
  shell = Start(TestsDir() + "\\standin_shell.exe");
  HWND tray = nullptr;
  WaitUntil([&] {
    tray = WindowOf(shell, "Shell_TrayWnd");
    char title[64] = "";
    if (tray) GetWindowTextA(tray, title, sizeof title);
    return !lstrcmpA(title, STANDIN_SHELL_READY_TITLE) || !shell.Running();
  });
  return shell.Running();
}

void StopStandinShell() {
  if (!shell.handle) return;
  TerminateProcess(shell.handle, 0);
  WaitForSingleObject(shell.handle, 5000);
  CloseHandle(shell.handle);
  shell = Process();
}

Bar StartBar() {
  std::string ini = RunDir() + "\\marbel.ini";
  if (FILE* f = fopen(ini.c_str(), "wb")) {
    fputs(PREFERENCES, f);
    fclose(f);
  }
  Bar bar;
  bar.process = Start(BinDir() + "\\marbel.exe");
  WaitUntil([&] {
    bar.window = WindowOf(bar.process, BAR_CLASS);
    return (bar.window && IsWindowVisible(bar.window)) || !bar.process.Running();
  });
  WaitForInputIdle(bar.process.handle, 10000);
  if (!bar.window) PrintLine("the bar did not come up");
  else bar.baseTools = ToolsOwnedBy(bar.window);
  return bar;
}

int Listed(const Bar& bar) { return ToolsOwnedBy(bar.window) - bar.baseTools; }

bool WaitListed(const Bar& bar, int count) {
  if (WaitUntil([&] { return Listed(bar) == count; })) return true;
  PrintLine(Format("the bar lists %d windows, not %d", Listed(bar), count));
  return false;
}

void StopBar(Bar& bar) {
  Stop(bar.process, bar.window);
  bar.window = nullptr;
}

void SendShellEvent(HWND bar, HWND window, int code) {
  DWORD_PTR result;
  SendMessageTimeoutA(bar, WM_BAR_SHELLEVENT, (WPARAM)window, code, SMTO_NORMAL, 5000, &result);
}

HWND OpenWindow(const char* className, const char* title) {
  RegisterOwnClasses();
  HWND w = CreateWindowExA(0, className, title, WS_OVERLAPPEDWINDOW, 120, 120, 320, 200, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(w, SW_SHOW);
  return w;
}

std::vector<HWND> OpenWindows(int count, const char* className) {
  std::vector<HWND> windows;
  for (int i = 0; i < count; ++i) {
    windows.push_back(OpenWindow(className, Format("Page %d - Microsoft Internet Explorer", i + 1).c_str()));
    PumpMessages();
  }
  return windows;
}

void CloseWindows(std::vector<HWND>& windows) {
  for (HWND w : windows) DestroyWindow(w);
  windows.clear();
  PumpMessages();
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

namespace {

std::string ReadWholeFile(const std::string& path) {
  std::string text;
  HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD n;
  while (ReadFile(f, buffer, sizeof buffer, &n, nullptr) && n) text.append(buffer, n);
  CloseHandle(f);
  return text;
}

std::vector<std::string> Subdirectories(const std::string& dir) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
      names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

// The Linux process behind a Wine process: the one of our Wine prefix whose
// command line names the program (the benchmarks run one of each at a time).
std::string LinuxProcessDir(const Process& p) {
  char prefix[MAX_PATH] = "";
  GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
  const std::string ownPrefix = std::string("WINEPREFIX=") + prefix + '\0';
  for (const std::string& pid : Subdirectories("Z:\\proc")) {
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::string dir = "Z:\\proc\\" + pid;
    std::string commandLine = ReadWholeFile(dir + "\\cmdline");
    if (commandLine.find(p.exeName) == std::string::npos) continue;
    if (*prefix && ReadWholeFile(dir + "\\environ").find(ownPrefix) == std::string::npos) continue;
    return dir;
  }
  return "";
}

}  // namespace

double CpuTimeMs(const Process& p) {
  if (UnderWine()) {
    // Wine 8 answers GetProcessTimes for any process with the caller's own
    // times, so Linux is asked: nanoseconds on a CPU, summed over threads.
    std::string dir = LinuxProcessDir(p);
    if (dir.empty()) return -1;
    double ns = 0;
    for (const std::string& tid : Subdirectories(dir + "\\task"))
      ns += atof(ReadWholeFile(dir + "\\task\\" + tid + "\\schedstat").c_str());
    return ns / 1e6;
  }
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(p.handle, &created, &exited, &kernel, &user)) return -1;
  auto ms = [](const FILETIME& t) {
    return (((ULONGLONG)t.dwHighDateTime << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

void PrintLine(const std::string& text) {
  printf("%s\n", text.c_str());
  fflush(stdout);
}

std::string Format(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

void PrintFigure(const std::string& name, std::vector<double> samples, const char* unit,
                 const std::string& note) {
  if (samples.empty()) {
    PrintLine(name + ": no samples");
    return;
  }
  auto range = std::minmax_element(samples.begin(), samples.end());
  std::string line = Format("%-46s %10.3f %-6s (min %.3f, max %.3f, %d runs)", (name + ":").c_str(),
                            Median(samples), unit, *range.first, *range.second, (int)samples.size());
  PrintLine(note.empty() ? line : line + "  " + note);
}

}  // namespace bench
