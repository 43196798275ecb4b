// bartask.dll: hooks the thread that owns the Windows taskbar and deletes
// the taskbar buttons of browser windows ("IEFrame", "CabinetWClass" when
// asked, and the other browser classes) whenever the taskbar works with
// its button list.
#pragma once
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif
// 1 when the hook is installed; 0 after telling the user why it could not be.
int SetTaskbarHook(int catchExplorerWindows);
// The other browser classes, as the "Other browser classes" setting holds
// them, until set again; none until then. Set before the hook.
void SetTaskbarHookClasses(const char* classes);
// Non-zero when a hook was removed; 0 when none was installed or removal failed.
int RemoveTaskbarHook(void);
#ifdef __cplusplus
}
#endif
