// Framework pieces for subclassed controls: the pre-subclassing hook and
// reflected command entries that take one notification code only.
#include <doctest/doctest.h>
#include "framework/Wnd.h"

namespace {

const char* HostClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXA wc = {};
    wc.lpszClassName = "FwControlsHost";
    fw::CWnd::RegisterClass(wc);
    registered = true;
  }
  return "FwControlsHost";
}

class Host : public fw::CWnd {
public:
  int commands = 0;
  UINT lastCode = 0;
  LRESULT OnAnyCommand(WPARAM w, LPARAM) { return ++commands, lastCode = HIWORD(w), 0; }
  bool Create() {
    return CreateEx(0, HostClass(), "", WS_POPUP, 0, 0, 80, 40, nullptr, nullptr);
  }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(Host)
  fw::OnCommand(0, 0xFFFF, &Host::OnAnyCommand),
END_MESSAGE_TABLE(fw::CWnd)

class StyledButton : public fw::CWnd {
public:
  int hookCalls = 0, clicks = 0;
  HWND handleInHook = nullptr;
  LONG_PTR procInHook = 0;
  LRESULT OnClicked(WPARAM, LPARAM) { return ++clicks, 0; }
protected:
  void PreSubclassWindow() override {
    ++hookCalls;
    handleInHook = hwnd;
    procInHook = GetWindowLongPtrA(hwnd, GWLP_WNDPROC);
    SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) | BS_OWNERDRAW);
  }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(StyledButton)
  fw::OnReflectedCommand(BN_CLICKED, &StyledButton::OnClicked),
END_MESSAGE_TABLE(fw::CWnd)

}  // namespace

TEST_CASE("subclassing calls the pre-subclassing hook once, before the procedure changes") {
  Host host;
  REQUIRE(host.Create());
  HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | BS_PUSHBUTTON, 0, 0, 20, 20, host,
                                reinterpret_cast<HMENU>(7), nullptr, nullptr);
  LONG_PTR systemProc = GetWindowLongPtrA(button, GWLP_WNDPROC);
  StyledButton object;
  REQUIRE(object.SubclassDlgItem(7, host));
  CHECK(object.hookCalls == 1);
  CHECK(object.handleInHook == button);
  CHECK(object.procInHook == systemProc);
  CHECK(GetWindowLongPtrA(button, GWLP_WNDPROC) != systemProc);
  CHECK((GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK) == BS_OWNERDRAW);

  SUBCASE("a reflected command entry takes its own code; other codes reach the parent") {
    SendMessageA(host, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    CHECK(object.clicks == 1);
    CHECK(host.commands == 0);
    SendMessageA(host, WM_COMMAND, MAKEWPARAM(7, BN_DOUBLECLICKED),
                 reinterpret_cast<LPARAM>(button));
    CHECK(object.clicks == 1);
    CHECK(host.commands == 1);
    CHECK(host.lastCode == BN_DOUBLECLICKED);
    // The entry is for reflections only: a plain WM_COMMAND to the control is not taken.
    SendMessageA(button, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), 0);
    CHECK(object.clicks == 1);
  }
  host.DestroyWindow();
}
