#include "rig_list.h"
#include "rig_shell.h"
#include "hooks/shell/barshell.h"

#include <doctest/doctest.h>

namespace rig {
namespace {

// Memory in another process, for messages whose lParam points to a record.
class RemoteMemory {
public:
  RemoteMemory(HWND window, SIZE_T size) : size(size) {
    process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                          ProcessOf(window));
    if (process)
      base = (char*)VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteMemory() {
    if (base) VirtualFreeEx(process, base, 0, MEM_RELEASE);
    if (process) CloseHandle(process);
  }
  bool Ok() const { return base != nullptr; }
  char* At(SIZE_T offset) const { return base + offset; }
  bool Write(SIZE_T offset, const void* data, SIZE_T n) const {
    return offset + n <= size && WriteProcessMemory(process, base + offset, data, n, nullptr);
  }
  bool Read(SIZE_T offset, void* data, SIZE_T n) const {
    return offset + n <= size && ReadProcessMemory(process, base + offset, data, n, nullptr);
  }
private:
  HANDLE process = nullptr;
  char* base = nullptr;
  SIZE_T size;
};

const SIZE_T kTextOffset = 256;
const SIZE_T kTextSize = 4096;

LRESULT SendWithin(HWND w, UINT msg, WPARAM wp, LPARAM lp, DWORD timeoutMs = 5000) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(w, msg, wp, lp, SMTO_NORMAL, timeoutMs, &result)) return 0;
  return result;
}

}  // namespace

HWND BarToolTip(HWND bar, DWORD timeoutMs) {
  HWND tip = nullptr;
  // The interface buttons' tooltips are owned by the bar too; theirs have
  // tools of the buttons, the bar's only tools of the bar itself.
  auto onlyBarTools = [bar](HWND w) {
    for (const Tool& t : ToolsOf(w))
      if (t.owner != bar) return false;
    return true;
  };
  WaitUntil([&] {
    for (HWND w : TopLevelWindows(TOOLTIPS_CLASSA))
      if (GetWindow(w, GW_OWNER) == bar && onlyBarTools(w)) tip = w;
    return tip != nullptr;
  }, timeoutMs);
  return tip;
}

int ToolCount(HWND tip) {
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutA(tip, TTM_GETTOOLCOUNT, 0, 0, SMTO_NORMAL, 5000, &n)) return -1;
  return (int)n;
}

std::vector<Tool> ToolsOf(HWND tip) {
  std::vector<Tool> tools;
  RemoteMemory memory(tip, kTextOffset + kTextSize);
  if (!memory.Ok()) return tools;
  int count = ToolCount(tip);
  for (int i = 0; i < count; ++i) {
    TOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.lpszText = memory.At(kTextOffset);
    if (!memory.Write(0, &info, sizeof info) ||
        !SendWithin(tip, TTM_ENUMTOOLSA, i, (LPARAM)memory.At(0)) ||
        !memory.Read(0, &info, sizeof info))
      break;
    tools.push_back({info.hwnd, info.uId, info.uFlags, info.rect});
  }
  return tools;
}

std::string ToolText(HWND tip, HWND owner, UINT_PTR id) {
  RemoteMemory memory(tip, kTextOffset + kTextSize);
  if (!memory.Ok()) return "";
  TOOLINFOA info = {};
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  info.hwnd = owner;
  info.uId = id;
  info.lpszText = memory.At(kTextOffset);
  char text[kTextSize] = "";
  if (!memory.Write(0, &info, sizeof info) || !memory.Write(kTextOffset, text, sizeof text))
    return "";
  SendWithin(tip, TTM_GETTEXTA, sizeof text, (LPARAM)memory.At(0));
  memory.Read(kTextOffset, text, sizeof text);
  text[sizeof text - 1] = 0;
  return text;
}

std::vector<COLORREF> ScreenRow(int y, int x0, int x1) {
  std::vector<COLORREF> row;
  if (x1 <= x0) return row;
  int width = x1 - x0;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = 1;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, 1, screen, x0, y, SRCCOPY);
  GdiFlush();
  const DWORD* pixels = (const DWORD*)bits;
  for (int i = 0; i < width; ++i) {
    DWORD p = pixels[i];  // 0x00RRGGBB
    row.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return row;
}

bool SendShellEvent(HWND bar, HWND window, int code) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(bar, WM_BAR_SHELLEVENT, (WPARAM)window, code, SMTO_NORMAL, 5000,
                             &result) != 0;
}

std::string Quiet(const std::string& lines) {
  return lines +
         "Open default browser on start=0\r\n"
         "Maximize browser windows=0\r\n"
         "Align browser windows=0\r\n"
         "Show close button on IE buttons=0\r\n";
}

BarRun::BarRun(const char* name, const std::string& prefs, const std::string& theme)
    : owned(new Scenario(name)), scenario(*owned), shell(scenario) {
  Start(prefs, theme);
}

BarRun::BarRun(Scenario& scenario, const std::string& prefs, const std::string& theme)
    : scenario(scenario), shell(scenario) {
  Start(prefs, theme);
}

void BarRun::Start(const std::string& prefs, const std::string& theme) {
  REQUIRE(shell.tray);
  scenario.WriteFile("marbel.ini", "[Preferences]\r\n" + prefs);
  scenario.WriteFile("colors.ini", TestTheme() + theme);
  // Keep the pointer off the bar: a tip shown over it would hide buttons.
  MoveMouse(512, 700);
  marbel = scenario.StartMarbel();
  bar = WaitForBar(marbel);
  if (bar) tip = BarToolTip(bar);
}

bool BarRun::Exit() {
  if (!marbel.Running()) return true;
  PostMessageA(bar, WM_CLOSE, 0, 0);
  return marbel.WaitExit(5000);
}

std::vector<PaintedButton> PaintedButtons(HWND bar) {
  std::vector<PaintedButton> buttons;
  RECT r = WindowRect(bar);
  // Row 4 of the bar: inside the buttons' top frame (row 3), above text and glyph.
  std::vector<COLORREF> row = ScreenRow(r.top + 4, r.left, r.right);
  for (size_t x = 0; x < row.size();) {
    COLORREF c = row[x];
    if (c != BUTTON_COLOR && c != ACTIVE_COLOR) {
      ++x;
      continue;
    }
    size_t end = x;
    while (end < row.size() && row[end] == c) ++end;
    // The fill runs between the one-pixel side frames.
    buttons.push_back({(int)x - 1, (int)(end - x) + 2, c == ACTIVE_COLOR});
    x = end;
  }
  return buttons;
}

ShownButtons WaitForButtons(HWND bar, size_t count, int active, DWORD timeoutMs) {
  ShownButtons buttons;
  auto expected = [&] {
    if (buttons.size() != count) return false;
    for (size_t i = 0; i < count && active != ANY_ACTIVE; ++i)
      if (buttons[i].active != ((int)i == active)) return false;
    return true;
  };
  buttons.shown = WaitUntil([&] {
    static_cast<std::vector<PaintedButton>&>(buttons) = PaintedButtons(bar);
    return expected();
  }, timeoutMs);
  return buttons;
}

Tool ToolFor(HWND tip, HWND window) {
  for (const Tool& t : ToolsOf(tip))
    if (t.id == (UINT_PTR)window) return t;
  return Tool{};
}

}  // namespace rig
