#include "rig_fault.h"
#include "hooks/shell/barshell.h"

#include <cstdio>

namespace rig {
namespace {

const char kProbeClass[] = "IEFrame";

// "Close all browser windows" reaches the probe too: it stays.
LRESULT CALLBACK ProbeProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_CLOSE) return 0;
  return DefWindowProcA(w, msg, wp, lp);
}

// The record of GetProcessMemoryInfo (psapi), looked up at run time.
struct MemoryCounters {
  DWORD cb;
  DWORD PageFaultCount;
  SIZE_T PeakWorkingSetSize, WorkingSetSize, QuotaPeakPagedPoolUsage, QuotaPagedPoolUsage,
      QuotaPeakNonPagedPoolUsage, QuotaNonPagedPoolUsage, PagefileUsage, PeakPagefileUsage;
};

// The system's table of every process's kernel handles
// (NtQuerySystemInformation, SystemHandleInformation), looked up at run time.
struct HandleEntry {
  ULONG ownerPid;
  BYTE objectType, flags;
  USHORT value;
  PVOID object;
  ACCESS_MASK access;
};

DWORD HandlesInSystemTable(DWORD pid) {
  typedef LONG(WINAPI * QuerySystem)(int, void*, ULONG, ULONG*);
  QuerySystem query = (QuerySystem)(void*)GetProcAddress(GetModuleHandleA("ntdll.dll"),
                                                         "NtQuerySystemInformation");
  const int SYSTEM_HANDLE_INFORMATION = 16;
  const LONG INFO_LENGTH_MISMATCH = (LONG)0xC0000004;
  std::vector<char> buffer(1 << 16);
  LONG status;
  while (query && (status = query(SYSTEM_HANDLE_INFORMATION, buffer.data(), buffer.size(),
                                  nullptr)) == INFO_LENGTH_MISMATCH)
    buffer.resize(buffer.size() * 2);
  if (!query || status < 0) return 0;
  ULONG count = *(const ULONG*)buffer.data();
  const HandleEntry* entries = (const HandleEntry*)(buffer.data() + sizeof(ULONG_PTR));
  DWORD mine = 0;
  for (ULONG i = 0; i < count; ++i) mine += entries[i].ownerPid == pid;
  return mine;
}

struct WindowCount {
  DWORD pid;
  DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
  ++((WindowCount*)lp)->count;
  return TRUE;
}

BOOL CALLBACK CountWindow(HWND w, LPARAM lp) {
  WindowCount* windows = (WindowCount*)lp;
  if (ProcessOf(w) != windows->pid) return TRUE;
  ++windows->count;
  EnumChildWindows(w, CountChild, lp);  // every descendant
  return TRUE;
}

DWORD WindowsOf(DWORD pid) {
  WindowCount windows = {pid, 0};
  EnumWindows(CountWindow, (LPARAM)&windows);
  for (HWND w = nullptr; (w = FindWindowExA(HWND_MESSAGE, w, nullptr, nullptr));)
    windows.count += ProcessOf(w) == pid;
  return windows.count;
}

}  // namespace

std::vector<Process> StartChurn(Scenario& scenario, int processes, int count) {
  std::vector<Process> churns;
  for (int i = 0; i < processes; ++i)
    churns.push_back(scenario.StartFixture("standin_browser.exe",
                                           "--class IEFrame --churn " + std::to_string(count)));
  return churns;
}

HWND PostBarMenu(HWND bar) {
  RECT client;
  GetClientRect(bar, &client);
  PostMessageA(bar, WM_RBUTTONDOWN, 0, MAKELPARAM(client.right - 60, client.bottom / 2));
  return FindPopupMenu(3000);
}

bool ChurnsSucceed(const std::vector<Process>& churns, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  bool ok = true;
  for (const Process& p : churns) {
    DWORD spent = GetTickCount() - start;
    ok = p.WaitExit(timeoutMs > spent ? timeoutMs - spent : 0) && p.ExitCode() == 0 && ok;
  }
  return ok;
}

LoopProbe::LoopProbe(HWND bar, HWND tip) : bar(bar), tip(tip) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kProbeClass;
  RegisterClassA(&wc);  // once; later calls fail harmlessly
  window = CreateWindowExA(0, kProbeClass, "probe", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                           100, nullptr, nullptr, wc.hInstance, nullptr);
  // The shell hook reports it from inside CreateWindowEx; Windows reports a
  // window only when it is shown: by then it is listed too.
  WaitUntil([&] { return Listed(); }, 3000);
}

LoopProbe::~LoopProbe() {
  if (window) DestroyWindow(window);
}

bool LoopProbe::Listed() const { return ToolFor(tip, window).id == (UINT_PTR)window; }

bool LoopProbe::BarLoops(DWORD timeoutMs) {
  char title[32];
  snprintf(title, sizeof title, "probe %d", ++round);
  SetWindowTextA(window, title);
  if (!PostMessageA(bar, WM_BAR_SHELLEVENT, (WPARAM)window, HSHELL_REDRAW)) return false;
  return WaitUntil([&] { return ToolText(tip, bar, (UINT_PTR)window) == title; }, timeoutMs);
}

ProcessCounts CountsOf(DWORD pid) {
  ProcessCounts counts;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return counts;
  counts.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
  counts.userObjects = GetGuiResources(process, GR_USEROBJECTS);
  if (!GetProcessHandleCount(process, &counts.handles) || !counts.handles)
    counts.handles = HandlesInSystemTable(pid);
  counts.windows = WindowsOf(pid);
  typedef BOOL(WINAPI * GetMemoryInfo)(HANDLE, MemoryCounters*, DWORD);
  HMODULE psapi = LoadLibraryA("psapi.dll");
  GetMemoryInfo getMemoryInfo =
      psapi ? (GetMemoryInfo)(void*)GetProcAddress(psapi, "GetProcessMemoryInfo") : nullptr;
  MemoryCounters memory = {};
  memory.cb = sizeof memory;
  if (getMemoryInfo && getMemoryInfo(process, &memory, sizeof memory))
    counts.privateBytes = memory.PagefileUsage;
  CloseHandle(process);
  return counts;
}

}  // namespace rig
