// bartask.dll: hooks the one thread of the shell process that owns the
// taskbar's button list and deletes the buttons of browser windows there,
// whenever the taskbar works with the list. The deletion must run in the
// shell process, on that thread: the button records hold its addresses.
// The library is mapped into the bar's process and the shell process; the
// values both need live in a section that every mapping shares.
#include "bartask.h"
#include <commctrl.h>

#define SHARED __attribute__((section(".shared"), shared))
static HWND taskList SHARED = nullptr;   // the taskbar's button list control
static LONG ntPlatform SHARED = 0;
static LONG toolbarMode SHARED = 0;      // else tab mode
static HHOOK taskbarHook SHARED = nullptr;
static LONG catchExplorer SHARED = 0;

// Set while the shell process runs its first purge for the installing call.
static const char installedEventName[] = "{C459D490-3856-464b-9E25-56B7F65F5169}";

static bool SameText(const char* a, const char* b)
{
    while (*a && *a == *b)
        ++a, ++b;
    return *a == *b;
}

static bool IsBrowserWindow(HWND window)
{
    char className[256];
    if (!GetClassNameA(window, className, sizeof className))
        return false;
    return SameText(className, "IEFrame") || (catchExplorer && SameText(className, "CabinetWClass"));
}

// Toolbar deletions are posted, so they land after the message that caused
// the purge; until the toolbar has handled them its indices are stale. A
// purge in between (for instance the purge on loading into the shell
// followed at once by the first trigger) would post the same indices again,
// and the second round would delete whatever buttons had moved into them:
// other programs' buttons. So while one of our deletions still waits in
// this thread's queue, the purge does nothing. The queue is the state, so
// nothing needs clearing and nothing is shared. (PM_QS_POSTMESSAGE exists
// from Windows 2000/98 on; toolbar mode runs on XP and later only.)
static bool DeletionsPending()
{
    MSG queued;
    return PeekMessageA(&queued, taskList, TB_DELETEBUTTON, TB_DELETEBUTTON,
                        PM_NOREMOVE | PM_NOYIELD | PM_QS_POSTMESSAGE);
}

static void PurgeToolbar()
{
    if (DeletionsPending())
        return;
    // From the last index down, so a deletion never moves one still to visit.
    for (int i = (int)SendMessageA(taskList, TB_BUTTONCOUNT, 0, 0) - 1; i >= 0; --i) {
        TBBUTTON button = {};
        SendMessageA(taskList, TB_GETBUTTON, i, (LPARAM)&button);
        // The shell's record for the button starts with the window handle.
        const HWND* record = (const HWND*)button.dwData;
        if (record && IsBrowserWindow(*record))
            PostMessageA(taskList, TB_DELETEBUTTON, i, 0);
    }
}

static void PurgeTabs()
{
    for (int i = (int)SendMessageA(taskList, TCM_GETITEMCOUNT, 0, 0) - 1; i >= 0; --i) {
        TCITEMA item;
        item.mask = TCIF_PARAM;
        item.lParam = 0;
        if (SendMessageA(taskList, TCM_GETITEMA, i, (LPARAM)&item) && IsBrowserWindow((HWND)item.lParam))
            SendMessageA(taskList, TCM_DELETEITEM, i, 0);
    }
}

// The tab purge itself sends TCM_GETITEMCOUNT, the trigger on NT, so the
// hook could start a purge inside the purge (and the queue test could
// deliver a sent message that triggers one). Process-local: the purge only
// ever runs on the taskbar's thread.
static bool purging;

static void Purge()
{
    if (purging)
        return;
    purging = true;
    if (toolbarMode)
        PurgeToolbar();
    else
        PurgeTabs();
    purging = false;
}

// The messages the taskbar sends to its list whenever it works with it.
static bool IsTrigger(UINT message)
{
    if (toolbarMode)
        return message == TB_GETITEMRECT;
    return message == (ntPlatform ? TCM_GETITEMCOUNT : TCM_GETITEMRECT);
}

static LRESULT CALLBACK CallWndProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Called before the list handles the message, so it sees itself purged.
    if (code >= 0 && IsTrigger(((const CWPSTRUCT*)lParam)->message))
        Purge();
    return CallNextHookEx(taskbarHook, code, wParam, lParam);
}

static HWND FindTaskSwitcher()
{
    HWND tray = FindWindowA("Shell_TrayWnd", nullptr);
    if (!tray)
        return nullptr;
    HWND rebar = FindWindowExA(tray, nullptr, "RebarWindow32", nullptr);
    return FindWindowExA(rebar ? rebar : tray, nullptr, "MSTaskSwWClass", nullptr);
}

static int Fail(const char* text)
{
    MessageBoxA(nullptr, text, "bartask.dll : error !", MB_ICONEXCLAMATION);
    return 0;
}

extern "C" int SetTaskbarHook(int catchExplorerWindows)
{
    OSVERSIONINFOA version;
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    ntPlatform = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    toolbarMode = ntPlatform && version.dwMajorVersion >= 5 && version.dwMinorVersion >= 1;
    catchExplorer = catchExplorerWindows;

    HWND taskSwitcher = FindTaskSwitcher();
    if (!taskSwitcher)
        return Fail("Can't locate the taskbar!");
    taskList = FindWindowExA(taskSwitcher, nullptr, toolbarMode ? "ToolbarWindow32" : "SysTabControl32", nullptr);
    if (!taskList)
        return Fail("Can't locate the taskbar!");

    HANDLE installed = CreateEventA(nullptr, TRUE, FALSE, installedEventName);
    DWORD taskbarThread = GetWindowThreadProcessId(taskList, nullptr);
    taskbarHook = SetWindowsHookExA(WH_CALLWNDPROC, CallWndProc, GetModuleHandleA("bartask.dll"), taskbarThread);
    if (!taskbarHook) {
        CloseHandle(installed);
        return Fail("Can't set taskbar hook!");
    }
    // Wakes the taskbar's thread so the system maps us into the shell and
    // the attach code purges at once; the result does not depend on it.
    PostThreadMessageA(taskbarThread, WM_NULL, 0, 0);
    WaitForSingleObject(installed, 10);
    CloseHandle(installed);
    return 1;
}

extern "C" int RemoveTaskbarHook(void)
{
    if (!taskbarHook)
        return 0;
    int removed = UnhookWindowsHookEx(taskbarHook);
    taskbarHook = nullptr;
    return removed;
}

// In the shell process, on the taskbar's thread: remove the buttons of the
// browser windows already open, then tell the installing call.
static void OnAttach()
{
    if (!IsWindow(taskList) || GetWindowThreadProcessId(taskList, nullptr) != GetCurrentThreadId())
        return;
    HANDLE installed = OpenEventA(EVENT_MODIFY_STATE, FALSE, installedEventName);
    Purge();
    if (installed) {
        SetEvent(installed);
        CloseHandle(installed);
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        OnAttach();
    else if (reason == DLL_PROCESS_DETACH && taskbarHook) {
        UnhookWindowsHookEx(taskbarHook);
        taskbarHook = nullptr;
    }
    return TRUE;
}
