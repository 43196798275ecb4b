#include "rig.h"

#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define DOCTEST_CONFIG_IMPLEMENT  // the driver's entry point is below
#include <doctest/doctest.h>

namespace rig {
namespace {

std::vector<std::string> skipped;

// ctest hands over Unix paths; Wine shows the Unix root as drive Z:.
std::string FromEnvironment(const char* name, const std::string& fallback) {
  const char* value = getenv(name);
  if (!value || !*value) return fallback;
  std::string path = value;
  if (path[0] == '/') path = "Z:" + path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

std::string DriverDir() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir = path;
  return dir.substr(0, dir.find_last_of('\\'));
}

void PumpMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void DeleteTree(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) DeleteTree(path);
      else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(dir.c_str());
}

std::vector<PROCESSENTRY32> Processes() {
  std::vector<PROCESSENTRY32> list;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return list;
  PROCESSENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
    list.push_back(entry);
  CloseHandle(snapshot);
  return list;
}

// Wine's own session processes, which may start at any time and must live.
bool IsSystemProcess(const char* exeName) {
  static const char* const kSystem[] = {"explorer.exe", "services.exe", "winedevice.exe",
                                        "plugplay.exe", "svchost.exe", "rpcss.exe",
                                        "conhost.exe", "wineboot.exe", "winemenubuilder.exe"};
  for (const char* name : kSystem)
    if (!lstrcmpiA(exeName, name)) return true;
  return false;
}

void EndProcess(HANDLE process) {
  TerminateProcess(process, 1);
  WaitForSingleObject(process, 5000);
}

struct ClassSearch { std::string cls; std::vector<HWND> found; };

BOOL CALLBACK CollectByClass(HWND w, LPARAM lp) {
  ClassSearch* search = (ClassSearch*)lp;
  if (ClassOf(w) == search->cls) search->found.push_back(w);
  return TRUE;
}

void SendKey(WORD vk, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.wScan = (WORD)MapVirtualKeyA(vk, 0);
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace

void Skip(const std::string& reason) {
  skipped.push_back(reason);
  MESSAGE("SKIPPED: " << reason);
}

std::string BinDir() { return FromEnvironment("MARBEL_BIN", DriverDir() + "\\..\\bin"); }
std::string TestsDir() { return FromEnvironment("MARBEL_TESTS", DriverDir()); }

bool WaitUntil(const std::function<bool()>& cond, DWORD timeoutMs, DWORD pollMs) {
  DWORD start = GetTickCount();
  for (;;) {
    PumpMessages();
    if (cond()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    Sleep(pollMs);
  }
}

void Pause(DWORD ms) { WaitUntil([] { return false; }, ms); }

HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs) {
  HWND w = nullptr;
  WaitUntil([&] { return (w = FindWindowA(className, title)) != nullptr; }, timeoutMs);
  return w;
}

HWND WaitForBar(const Process& marbel, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  HWND bar = nullptr;
  WaitUntil([&] {
    for (HWND w : TopLevelWindows("MARBEL_MANAGER_CLASS"))
      if (ProcessOf(w) == marbel.pid) bar = w;
    return bar != nullptr || !marbel.Running();
  }, timeoutMs);
  if (!bar) return nullptr;
  DWORD spent = GetTickCount() - start;
  WaitForInputIdle(marbel.handle, timeoutMs > spent ? timeoutMs - spent : 0);
  return IsWindow(bar) ? bar : nullptr;
}

void SetWindowsVersion(const char* version) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  if (*version)
    RegSetValueExA(key, "Version", 0, REG_SZ, (const BYTE*)version, strlen(version) + 1);
  else
    RegDeleteValueA(key, "Version");
  RegCloseKey(key);
}

bool Process::Running() const { return handle && WaitForSingleObject(handle, 0) == WAIT_TIMEOUT; }

bool Process::WaitExit(DWORD timeoutMs) const {
  return handle && WaitForSingleObject(handle, timeoutMs) == WAIT_OBJECT_0;
}

DWORD Process::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  if (handle) GetExitCodeProcess(handle, &code);
  return code;
}

void Process::Kill() {
  if (Running()) EndProcess(handle);
}

void RunUnixShell(const std::string& command) {
  std::string commandLine = "/bin/sh -c \"" + command + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (CreateProcessA("Z:\\bin\\sh", &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                     &startup, &info)) {
    if (info.hThread) CloseHandle(info.hThread);
    if (info.hProcess) CloseHandle(info.hProcess);
  }
}

Scenario::Scenario(const char* name) {
  std::string root = TestsDir() + "\\scenarios";
  CreateDirectoryA(root.c_str(), nullptr);
  std::string safe = name;
  for (char& c : safe)
    if (strchr("\\/:*?\"<>| ", c)) c = '_';
  dir = root + "\\" + safe;
  DeleteTree(dir);
  CreateDirectoryA(dir.c_str(), nullptr);
  for (const PROCESSENTRY32& p : Processes()) earlierProcesses.push_back(p.th32ProcessID);
}

Scenario::~Scenario() {
  // A bar that is killed leaves its global shell hook and its app bar behind
  // under Wine, and every later bar of the session would get each event
  // twice and dock elsewhere: close bars the proper way, and fail the case
  // when one had to be killed.
  for (HWND bar : TopLevelWindows("MARBEL_MANAGER_CLASS")) PostMessageA(bar, WM_CLOSE, 0, 0);
  if (!WaitUntil([] { return TopLevelWindows("MARBEL_MANAGER_CLASS").empty(); }, 5000)) {
    fprintf(stderr, "rig: a bar did not close within 5 s and is killed (scenario %s)\n", dir.c_str());
    FAIL_CHECK("a bar did not close within 5 s and was killed");
  }
  for (Process& p : started) {
    p.Kill();
    CloseHandle(p.handle);
  }
  EndNewProcesses();
  WaitUntil([] { return TopLevelWindows("MARBEL_MANAGER_CLASS").empty(); }, 5000);
}

void Scenario::EndNewProcesses() const {
  DWORD self = GetCurrentProcessId();
  for (const PROCESSENTRY32& p : Processes()) {
    DWORD pid = p.th32ProcessID;
    if (pid == self || IsSystemProcess(p.szExeFile) ||
        std::find(earlierProcesses.begin(), earlierProcesses.end(), pid) != earlierProcesses.end())
      continue;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    if (!process) continue;
    EndProcess(process);
    CloseHandle(process);
  }
}

void Scenario::WriteFile(const char* name, const std::string& text) const {
  FILE* f = fopen((dir + "\\" + name).c_str(), "wb");
  REQUIRE_MESSAGE(f, "cannot write " << name);
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

std::string Scenario::ReadFile(const char* name) const {
  std::string text;
  FILE* f = fopen((dir + "\\" + name).c_str(), "rb");
  if (!f) return text;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) text.append(buffer, n);
  fclose(f);
  return text;
}

bool Scenario::FileExists(const char* name) const {
  return GetFileAttributesA((dir + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> Scenario::Files() const {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, ".."))
      names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  std::sort(names.begin(), names.end());
  return names;
}

Process Scenario::Start(const std::string& exePath, const std::string& args) {
  std::string commandLine = "\"" + exePath + "\"";
  if (!args.empty()) commandLine += " " + args;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  Process p;
  if (CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                     dir.c_str(), &startup, &info)) {
    CloseHandle(info.hThread);
    p.handle = info.hProcess;
    p.pid = info.dwProcessId;
    started.push_back(p);
  }
  REQUIRE_MESSAGE(p.handle, "cannot start " << commandLine);
  return p;
}

Process Scenario::StartMarbel() { return Start(BinDir() + "\\marbel.exe"); }

HWND Scenario::StartMarbelAndWaitForBar(DWORD timeoutMs) {
  return WaitForBar(StartMarbel(), timeoutMs);
}

Process Scenario::StartFixture(const char* exeName, const std::string& args) {
  return Start(TestsDir() + "\\" + exeName, args);
}

std::string ThemeLine(const char* key, DWORD value) {
  return std::string(key) + "=" + std::to_string((long)value) + "\r\n";
}

std::string TestTheme() {
  return "[Color theme]\r\n" + ThemeLine("Bar background color", BAR_COLOR) +
         ThemeLine("Buttons background color", BUTTON_COLOR) +
         ThemeLine("Buttons text color", TEXT_COLOR) +
         ThemeLine("Active button color", ACTIVE_COLOR) +
         ThemeLine("Active button text color", ACTIVE_TEXT_COLOR);
}

HWND FindMessageBox(const char* caption, DWORD timeoutMs) {
  // The box exists a moment before its controls and their text do; read
  // before, a control's text may be empty or even garbage under Wine.
  auto complete = [](HWND box) {
    bool buttonText = false;
    for (HWND c = GetWindow(box, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
      buttonText |= ClassOf(c) == "Button" && !TextOf(c).empty();
    return IsWindowVisible(box) && buttonText && !MessageBoxText(box).empty();
  };
  HWND box = nullptr;
  WaitUntil([&] { return (box = FindWindowA("#32770", caption)) && complete(box); }, timeoutMs);
  return box && complete(box) ? box : nullptr;
}

std::string MessageBoxText(HWND box) {
  // The message is the Static child that is not the icon.
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != "Static") continue;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) continue;
    std::string text = TextOf(child);
    if (!text.empty()) return text;
  }
  return "";
}

void CloseMessageBox(HWND box) {
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  WaitUntil([box] { return !IsWindow(box); }, 5000);
}

RECT WindowRect(HWND w) {
  RECT r = {};
  GetWindowRect(w, &r);
  return r;
}

std::string ClassOf(HWND w) {
  char name[256] = "";
  GetClassNameA(w, name, sizeof name);
  return name;
}

std::string TextOf(HWND w) {
  // For another process's window GetWindowText reads the stored text
  // without sending it a message, so a hung window cannot block us.
  char text[1024] = "";
  GetWindowTextA(w, text, sizeof text);
  return text;
}

DWORD ProcessOf(HWND w) {
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  return pid;
}

COLORREF ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  COLORREF color = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return color;
}

SIZE ScreenSize() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

int ScreenBitsPerPixel() {
  HDC screen = GetDC(nullptr);
  int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

std::vector<HWND> TopLevelWindows(const char* className) {
  ClassSearch search{className, {}};
  EnumWindows(CollectByClass, (LPARAM)&search);
  return search.found;
}

HWND FindPopupMenu(DWORD timeoutMs) {
  HWND menu = nullptr;
  WaitUntil([&] {
    for (HWND w : TopLevelWindows("#32768"))
      if (IsWindowVisible(w)) menu = w;
    return menu != nullptr;
  }, timeoutMs);
  return menu;
}

RECT AppBarPlace(UINT edge, int height) {
  // Asked from a window of our own, as a new bar would ask.
  HWND probe = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr,
                               nullptr, nullptr, nullptr);
  APPBARDATA data = {sizeof data, probe, WM_USER};
  SHAppBarMessage(ABM_NEW, &data);
  SIZE screen = ScreenSize();
  const bool bottom = edge == ABE_BOTTOM;
  data.uEdge = edge;
  data.rc = {0, bottom ? screen.cy - height : 0, screen.cx, bottom ? screen.cy : height};
  SHAppBarMessage(ABM_QUERYPOS, &data);
  SHAppBarMessage(ABM_REMOVE, &data);
  DestroyWindow(probe);
  if (bottom) data.rc.top = data.rc.bottom - height;
  else data.rc.bottom = data.rc.top + height;
  return data.rc;
}

void MouseAt(DWORD flags, int x, int y) {
  // Absolute input runs 0..65535 across the screen; round up so the
  // system's scaling back lands on the very pixel asked for.
  SIZE screen = ScreenSize();
  INPUT input = {};
  input.type = INPUT_MOUSE;
  input.mi.dx = (x * 65536 + screen.cx - 1) / screen.cx;
  input.mi.dy = (y * 65536 + screen.cy - 1) / screen.cy;
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

void MoveMouse(int x, int y) {
  auto there = [&] {
    POINT at;
    return GetCursorPos(&at) && at.x == x && at.y == y;
  };
  // Wine takes the move a moment later, and the X server's late report of
  // an earlier move may put the pointer back there. The move is given again
  // until the pointer stays put for 50 ms.
  for (int attempt = 0; attempt < 3; ++attempt) {
    MouseAt(0, x, y);
    if (WaitUntil(there, 1000) && !WaitUntil([&] { return !there(); }, 50)) return;
  }
}

void Click(int x, int y, bool right) {
  MoveMouse(x, y);
  // Press and release carry their place: a late report of an earlier
  // pointer position, taken after the move settled, would otherwise land
  // the click where the pointer was before.
  MouseAt(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN, x, y);
  MouseAt(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP, x, y);
}

void KeyDown(WORD vk) { SendKey(vk, 0); }
void KeyUp(WORD vk) { SendKey(vk, KEYEVENTF_KEYUP); }

void PressKey(WORD vk) {
  KeyDown(vk);
  KeyUp(vk);
}

BrowserFixture::BrowserFixture(Scenario& scenario, const std::string& args)
    : process(scenario.StartFixture("standin_browser.exe", args)) {
  WaitUntil([&] {
    for (HWND w = nullptr; (w = FindWindowExA(HWND_MESSAGE, w, "StandinBrowserControl", nullptr));)
      if (ProcessOf(w) == process.pid) control = w;
    return control != nullptr || !process.Running();
  }, 10000);
}

LRESULT BrowserFixture::Send(const std::string& command) const {
  COPYDATASTRUCT data = {0, (DWORD)command.size() + 1, (void*)command.c_str()};
  DWORD_PTR result = 0;
  if (!control || !SendMessageTimeoutA(control, WM_COPYDATA, 0, (LPARAM)&data, SMTO_NORMAL,
                                       10000, &result))
    return 0;
  return result;
}

HWND BrowserFixture::Open(const char* className, const char* title) {
  return (HWND)Send(std::string("open ") + className + "\t" + title);
}

namespace {
std::string Command(const char* verb, HWND w, const std::string& arg) {
  char handle[16];
  snprintf(handle, sizeof handle, "%lu", (unsigned long)(UINT_PTR)w);
  return std::string(verb) + " " + handle + "\t" + arg;
}
}  // namespace

HWND BrowserFixture::OpenOwned(HWND owner, const char* title) {
  return (HWND)Send(Command("own", owner, title));
}

bool BrowserFixture::Do(const char* verb, HWND w, const std::string& arg) {
  return Send(Command(verb, w, arg)) != 0;
}

bool BrowserFixture::Quit() { return Send("quit") && process.WaitExit(); }

bool BrowserFixture::MoveClearOfBars() {
  bool moved = true;
  for (HWND w : Windows()) moved = Do("move", w, "100 100 200 60") && moved;
  return moved;
}

std::vector<HWND> BrowserFixture::Windows() const {
  // Its frames are the captioned ones; Wine gives every thread a hidden IME window too.
  std::vector<HWND> mine;
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
    if (ProcessOf(w) == process.pid && (GetWindowLongA(w, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
      mine.push_back(w);
  return mine;
}

}  // namespace rig

int main(int argc, char** argv) {
  doctest::Context context(argc, argv);
  int result = context.run();
  for (const std::string& reason : rig::skipped) printf("SKIPPED: %s\n", reason.c_str());
  if (result == 0 && !rig::skipped.empty()) return rig::SKIPPED_EXIT_CODE;
  return result;
}
