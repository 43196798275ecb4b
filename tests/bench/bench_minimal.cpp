// The start-up yardstick: a minimal Win32 program that shows one window
// where the bar docks (the bottom edge, full width, 24 pixels high,
// topmost) and then waits for messages. WM_CLOSE ends it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = instance;
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = "BenchMinimal";
  RegisterClassA(&wc);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = 24;
  HWND w = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "BenchMinimal", "Minimal", WS_POPUP, 0,
                           GetSystemMetrics(SM_CYSCREEN) - height, width, height, nullptr, nullptr,
                           instance, nullptr);
  ShowWindow(w, SW_SHOW);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_CLOSE) break;
    DispatchMessageA(&msg);
  }
  return 0;
}
