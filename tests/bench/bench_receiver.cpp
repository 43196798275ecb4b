// The least a receiver of the shell hook can do: installs barshell.dll's
// hook for a hidden window of its own and answers every WM_BAR_SHELLEVENT
// at once. The benchmark compares the bar against it. It asks for the
// classes the bar's default preferences list.
//
// Command line: bench_receiver.exe <path of barshell.dll>
// Its window, class "BenchReceiver", is titled "SetShellHook <result>".
// The registered message "BenchReceiver.Count" (wParam a shell hook code)
// returns how many events of that code it has had. WM_CLOSE removes the
// hook and ends the process. Exit code 3: the library
// or its exports were not found.
#include <windows.h>
#include <cstdio>
#include "hooks/shell/barshell.h"

namespace {

decltype(&RemoveShellHook) removeShellHook;
UINT countMessage;
LONG eventCounts[16];

LRESULT CALLBACK ReceiverProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == countMessage) return wp < 16 ? eventCounts[wp] : 0;
  switch (msg) {
    case WM_BAR_SHELLEVENT:
      if (lp >= 0 && lp < 16) ++eventCounts[lp];
      return 0;
    case WM_DESTROY:
      removeShellHook();
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(w, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  HMODULE library = __argc > 1 ? LoadLibraryA(__argv[1]) : nullptr;
  if (!library) return 3;
  auto setShellHook = (decltype(&SetShellHook))GetProcAddress(library, "SetShellHook");
  removeShellHook = (decltype(&RemoveShellHook))GetProcAddress(library, "RemoveShellHook");
  if (!setShellHook || !removeShellHook) return 3;

  countMessage = RegisterWindowMessageA("BenchReceiver.Count");
  WNDCLASSA wc = {};
  wc.lpfnWndProc = ReceiverProc;
  wc.hInstance = instance;
  wc.lpszClassName = "BenchReceiver";
  RegisterClassA(&wc);
  HWND w = CreateWindowExA(0, "BenchReceiver", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           instance, nullptr);
  char title[32];
  snprintf(title, sizeof title, "SetShellHook %d", setShellHook(w, 1));
  SetWindowTextA(w, title);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
