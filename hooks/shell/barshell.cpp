// barshell.dll: the system calls the hook procedure inside every process
// whose thread creates, destroys, activates or redraws a top-level window,
// so the library has no runtime, allocates nothing and keeps the values
// the hook needs in a section that every mapping shares.
#include "barshell.h"
#include "../BrowserClass.h"

#define SHARED __attribute__((section(".shared"), shared))
static HWND barWindow SHARED = nullptr;
static HHOOK shellHook SHARED = nullptr;
static int catchExplorer SHARED = 0;
static ClassList otherClasses SHARED = {};

// The bar lists only these windows. Reading the class here, in the program
// that owns the window, is cheap; the bar reading it costs every program a
// round trip for windows the bar then throws away. The bar still checks.
static bool IsListedClass(HWND window)
{
    return IsBrowserWindow(window, catchExplorer, otherClasses);
}

// Activations go for every window: the bar clears its highlight on others.
static bool IsForwarded(int code, HWND window)
{
    if (code == HSHELL_WINDOWACTIVATED)
        return true;
    return (code == HSHELL_WINDOWCREATED || code == HSHELL_WINDOWDESTROYED || code == HSHELL_REDRAW) &&
           IsListedClass(window);
}

// The bar answers in moments; this only bounds the wait for a bar that
// stopped answering before the system calls it hung.
static const UINT BAR_ANSWER_TIMEOUT = 5000;  // ms

static LRESULT CALLBACK ShellProc(int code, WPARAM wParam, LPARAM lParam)
{
    // Sent, not posted: the bar sees the window before its creator goes on.
    // But this runs in every program that makes windows: none of them may
    // stop with a hung bar. A closing window it missed would stay on the
    // bar for good, so that news waits in its queue instead.
    DWORD_PTR ignored;
    if (code >= 0 && wParam && IsForwarded(code, (HWND)wParam) && IsWindow(barWindow) &&
        !SendMessageTimeoutA(barWindow, WM_BAR_SHELLEVENT, wParam, code, SMTO_ABORTIFHUNG,
                             BAR_ANSWER_TIMEOUT, &ignored) &&
        code == HSHELL_WINDOWDESTROYED)
        PostMessageA(barWindow, WM_BAR_SHELLEVENT, wParam, code);
    return CallNextHookEx(shellHook, code, wParam, lParam);
}

extern "C" int SetShellHook(HWND window, int catchExplorerWindows)
{
    barWindow = window;
    catchExplorer = catchExplorerWindows;
    shellHook = SetWindowsHookExA(WH_SHELL, ShellProc, GetModuleHandleA("barshell.dll"), 0);
    if (!shellHook) {
        MessageBoxA(nullptr, "Can't set shell hook !", "barshell.dll : error !", MB_ICONEXCLAMATION);
        return 0;
    }
    return 1;
}

extern "C" void SetShellHookClasses(const char* classes)
{
    PackClassList(classes, otherClasses);
}

extern "C" int RemoveShellHook(void)
{
    if (!shellHook)
        return 0;
    int removed = UnhookWindowsHookEx(shellHook);
    shellHook = nullptr;
    return removed;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
