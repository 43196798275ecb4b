#include "framework/App.h"
#include "framework/Wnd.h"
#include <cstring>

namespace fw {

namespace {
CApp* theApp = nullptr;
HINSTANCE theInstance = nullptr;
}

HINSTANCE Instance() { return theInstance ? theInstance : GetModuleHandleA(nullptr); }
void SetInstance(HINSTANCE instance) { theInstance = instance; }

int MessageBox(const char* text, UINT type, HWND owner) {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  path[n < sizeof path ? n : sizeof path - 1] = 0;
  char* name = path;
  for (char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
  if (char* dot = strrchr(name, '.')) *dot = 0;
  return MessageBoxA(owner, text, name, type);
}

CApp::CApp() { theApp = this; }
CApp::~CApp() {
  if (theApp == this) theApp = nullptr;
}
CApp* CApp::Current() { return theApp; }

int CApp::Main(HINSTANCE instance) {
  SetInstance(instance);
  if (!InitInstance()) return 0;
  return RunMessageLoop();
}

int CApp::RunMessageLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (CWnd::RunPreTranslate(&msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace fw
