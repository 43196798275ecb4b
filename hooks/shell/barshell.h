// barshell.dll: a global shell hook that reports to the bar window every
// top-level window activated, and the browser windows ("IEFrame",
// "CabinetWClass" with catchExplorer, and the other browser classes)
// created, destroyed or redrawn.
#pragma once
#include <windows.h>

// Sent to the bar window: wParam the top-level window, lParam the shell
// hook code (HSHELL_WINDOWCREATED 1, HSHELL_WINDOWDESTROYED 2,
// HSHELL_WINDOWACTIVATED 4, HSHELL_REDRAW 6).
#define WM_BAR_SHELLEVENT (WM_USER + 3)

#ifdef __cplusplus
extern "C" {
#endif
// 1 when the hook is installed; 0 after telling the user it could not be.
// catchExplorer holds for every program until the hook is set again.
int SetShellHook(HWND barWindow, int catchExplorer);
// The other browser classes, as the "Other browser classes" setting holds
// them, for every program until set again; none until then. Set before the
// hook: a hook that reads them while they change sees some of each.
void SetShellHookClasses(const char* classes);
// 0 when no hook is installed, otherwise the result of removing it.
int RemoveShellHook(void);
#ifdef __cplusplus
}
#endif
