// The hover button: which frame a paint shows, the press-and-hold timer it
// passes to its parent, and its tooltip.
#include <doctest/doctest.h>
#include "app/Settings.h"
#include "buttons/HoverButton.h"
#include <string>
#include <vector>

namespace {

// What the button's parent was told.
struct ParentLog {
  std::vector<WPARAM> timers;       // WM_TIMER ids
  std::vector<LPARAM> timerParams;  // their lParam
  std::vector<bool> pressedAtTimer; // the button still pressed when it came
  int clicks = 0;                   // BN_CLICKED
};
ParentLog* parentLog = nullptr;
HWND loggedButton = nullptr;

LRESULT CALLBACK ParentProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER && parentLog) {
    parentLog->timers.push_back(wp);
    parentLog->timerParams.push_back(lp);
    parentLog->pressedAtTimer.push_back(SendMessageA(loggedButton, BM_GETSTATE, 0, 0) & BST_PUSHED);
    return 0;
  }
  if (msg == WM_COMMAND && HIWORD(wp) == BN_CLICKED && parentLog) ++parentLog->clicks;
  return DefWindowProcA(w, msg, wp, lp);
}

struct Parent {
  Parent() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ParentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "HoverButtonTestParent";
    RegisterClassA(&wc);
    hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 100, 100, 200, 40,
                           nullptr, nullptr, wc.hInstance, nullptr);
    parentLog = &log;
  }
  ~Parent() {
    parentLog = nullptr;
    DestroyWindow(hwnd);
  }
  HWND hwnd;
  ParentLog log;
};

void Pump(DWORD ms) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  }
}

const DWORD OWNER_DRAWN = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

// A press on the button (client point 5, 5), held for holdMs while messages run.
void PressAndHold(HWND button, DWORD holdMs) {
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  Pump(holdMs);
  SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Pump(300);  // a timer left running would fire in here
}

std::vector<HWND> ToolTipsOf(HWND owner) {
  std::vector<HWND> tips;
  for (HWND w = FindWindowExA(nullptr, nullptr, TOOLTIPS_CLASSA, nullptr); w;
       w = FindWindowExA(nullptr, w, TOOLTIPS_CLASSA, nullptr))
    if (GetWindow(w, GW_OWNER) == owner) tips.push_back(w);
  return tips;
}

}  // namespace

TEST_CASE("hover button frame: pressed over hover over normal") {
  CHECK(ChooseFrame(0, false) == FRAME_NORMAL);
  CHECK(ChooseFrame(0, true) == FRAME_HOVER);
  CHECK(ChooseFrame(ODS_SELECTED, false) == FRAME_PRESSED);
  CHECK(ChooseFrame(ODS_SELECTED, true) == FRAME_PRESSED);
  // Focus and disabled have no frames of their own.
  CHECK(ChooseFrame(ODS_FOCUS | ODS_DISABLED, false) == FRAME_NORMAL);
  CHECK(ChooseFrame(ODS_FOCUS | ODS_DISABLED, true) == FRAME_HOVER);
  CHECK(ChooseFrame(ODS_FOCUS | ODS_SELECTED, true) == FRAME_PRESSED);
  // The strips hold the frames in this order, left to right.
  CHECK(FRAME_NORMAL == 0);
  CHECK(FRAME_PRESSED == 1);
  CHECK(FRAME_HOVER == 2);
}

TEST_CASE("hover button hold timer: forwarded to the parent once, only with the hold flag") {
  Parent parent;
  CHoverButton button;
  REQUIRE(button.Create("", OWNER_DRAWN, RECT{32, 3, 50, 21}, parent.hwnd, 245));
  loggedButton = button;
  CHECK(GetDlgCtrlID(button) == 245);
  CHECK((GetWindowLongA(button, GWL_STYLE) & 0xFFFFFFFF) == (LONG)0x5000000B);

  SUBCASE("held 400 ms with the hold flag: one WM_TIMER 0x8001, button still pressed") {
    button.hold = true;
    PressAndHold(button, 400);
    REQUIRE(parent.log.timers.size() == 1);
    CHECK(parent.log.timers[0] == IDT_HOLD_MENU);
    CHECK(parent.log.timerParams[0] == 0);
    CHECK(parent.log.pressedAtTimer[0]);
    CHECK(parent.log.clicks == 1);  // released over the button
  }
  SUBCASE("released after 50 ms: the click only") {
    button.hold = true;
    PressAndHold(button, 50);
    CHECK(parent.log.timers.empty());
    CHECK(parent.log.clicks == 1);
  }
  SUBCASE("the capture taken away during the press: the hold ends, no timer") {
    button.hold = true;
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    Pump(50);
    SetCapture(parent.hwnd);
    Pump(400);
    ReleaseCapture();
    CHECK(parent.log.timers.empty());
  }
  SUBCASE("no hold flag: no timer however long the press") {
    PressAndHold(button, 400);
    CHECK(parent.log.timers.empty());
    CHECK(parent.log.clicks == 1);
  }
  loggedButton = nullptr;
}

TEST_CASE("hover button tooltip: one tool, cream, margins, 400 pixels wide") {
  Parent parent;
  CHoverButton button;
  REQUIRE(button.Create("", OWNER_DRAWN, RECT{10, 3, 28, 21}, parent.hwnd, 245));

  button.SetToolTipText(nullptr, true);
  CHECK(ToolTipsOf(parent.hwnd).empty());  // no text: nothing made

  button.SetToolTipText("New browser window.\nHold for menu.", true);
  std::vector<HWND> tips = ToolTipsOf(parent.hwnd);
  REQUIRE(tips.size() == 1);
  HWND tip = tips[0];
  CHECK((GetWindowLongA(tip, GWL_STYLE) & TTS_ALWAYSTIP) != 0);
  CHECK(SendMessageA(tip, TTM_GETTIPBKCOLOR, 0, 0) == (LRESULT)CREAM);
  CHECK(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0) == 400);
  RECT margin = {};
  SendMessageA(tip, TTM_GETMARGIN, 0, (LPARAM)&margin);
  CHECK(margin.left == 4);
  CHECK(margin.top == 2);
  CHECK(margin.right == 4);
  CHECK(margin.bottom == 2);
  REQUIRE(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) == 1);

  char text[80] = "";
  TOOLINFOA ti = {};
  ti.cbSize = TTTOOLINFOA_V1_SIZE;
  ti.lpszText = text;
  REQUIRE(SendMessageA(tip, TTM_ENUMTOOLSA, 0, (LPARAM)&ti));
  CHECK(ti.hwnd == button.Handle());
  CHECK(ti.uId == 1);
  CHECK(ti.rect.right == 18);
  CHECK(ti.rect.bottom == 18);
  CHECK(std::string(text) == "New browser window.\nHold for menu.");

  // A second text replaces the first on the same tool.
  button.SetToolTipText("Close", false);
  CHECK(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) == 1);
  text[0] = 0;
  ti.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, (LPARAM)&ti);
  CHECK(std::string(text) == "Close");
  CHECK(ToolTipsOf(parent.hwnd).size() == 1);

  DestroyWindow(button);
  CHECK(!IsWindow(tip));  // the tooltip goes with its button
}

TEST_CASE("hover button mouse tracking: comctl32's request first; without one a timer ends the hover") {
  CHECK(reinterpret_cast<void*>(SystemTrackMouseEvent()) ==
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("comctl32.dll"), "_TrackMouseEvent")));
  Parent parent;
  SetWindowPos(parent.hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  CHoverButton button;
  REQUIRE(button.Create("", OWNER_DRAWN, RECT{10, 3, 28, 21}, parent.hwnd, 245));
  button.trackMouseEvent = nullptr;  // Windows 95 as first shipped
  POINT inside = {5, 5};
  ClientToScreen(button, &inside);
  SetCursorPos(inside.x + 100, inside.y + 100);
  SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(105, 105));  // captured, from elsewhere
  CHECK_FALSE(button.Hovering());
  SetCursorPos(inside.x, inside.y);
  SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
  Pump(300);
  CHECK(button.Hovering());  // the pointer stays
  SetCursorPos(inside.x + 100, inside.y + 100);
  Pump(300);
  CHECK_FALSE(button.Hovering());
}
