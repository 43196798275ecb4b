// The window framework's routing: message tables, reflection to controls,
// pre-translation up the parent chain, self-deletion and dialogs.
#include <doctest/doctest.h>
#include "framework/App.h"
#include "framework/Dialog.h"
#include "framework/Wnd.h"
#include <cstring>
#include <string>

namespace {

const UINT WM_PING = WM_USER + 5;
const UINT WM_BASE_ONLY = WM_USER + 6;

const char* TestClass() {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXA wc = {};
    wc.lpszClassName = "FwTestWnd";
    fw::CWnd::RegisterClass(wc);
    registered = true;
  }
  return "FwTestWnd";
}

class BaseWnd : public fw::CWnd {
public:
  int baseOnlyCalls = 0;
  LRESULT OnBaseOnly(WPARAM, LPARAM) { return ++baseOnlyCalls, 7; }
  LRESULT OnPing(WPARAM, LPARAM) { return 1; }
  bool Create(HWND parent = nullptr) {
    return CreateEx(0, TestClass(), "t", parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, 0, 0, 50, 20,
                    parent, nullptr);
  }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(BaseWnd)
  fw::OnMessage(WM_PING, &BaseWnd::OnPing),
  fw::OnMessage(WM_BASE_ONLY, &BaseWnd::OnBaseOnly),
END_MESSAGE_TABLE(fw::CWnd)

class DerivedWnd : public BaseWnd {
public:
  UINT lastCommand = 0, routedCommand = 0;
  int nccreateSeen = 0;
  LRESULT OnPing(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w + l) * 2; }
  LRESULT OnRange(WPARAM w, LPARAM) { return lastCommand = LOWORD(w), 0; }
  LRESULT OnSetText(WPARAM, LPARAM) { return Default(); }
  bool OnCommandRoute(WPARAM w, LPARAM) override { return routedCommand = LOWORD(w), true; }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(DerivedWnd)
  fw::OnMessage(WM_PING, &DerivedWnd::OnPing),
  fw::OnMessage(WM_SETTEXT, &DerivedWnd::OnSetText),
  fw::OnCommand(100, 110, &DerivedWnd::OnRange),
END_MESSAGE_TABLE(BaseWnd)

}  // namespace

TEST_CASE("message tables dispatch by message, id range and base class") {
  DerivedWnd w;
  REQUIRE(w.Create());
  CHECK(fw::CWnd::FromHandle(w) == &w);

  // The derived entry wins over the base one for the same message.
  CHECK(SendMessageA(w, WM_PING, 3, 4) == 14);
  // Messages only the base class names still reach it.
  CHECK(SendMessageA(w, WM_BASE_ONLY, 0, 0) == 7);
  CHECK(w.baseOnlyCalls == 1);
  // Unlisted messages get default handling.
  CHECK(SendMessageA(w, WM_USER + 99, 0, 0) == 0);
  // Default() from a handler passes the current message on.
  SendMessageA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("hello"));
  char text[16] = {};
  GetWindowTextA(w, text, sizeof text);
  CHECK(std::string(text) == "hello");

  SUBCASE("commands inside the range go to the table, others to command routing") {
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(100, 0), 0);
    CHECK(w.lastCommand == 100);
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(110, 0), 0);
    CHECK(w.lastCommand == 110);
    SendMessageA(w, WM_COMMAND, MAKEWPARAM(111, 0), 0);
    CHECK(w.lastCommand == 110);
    CHECK(w.routedCommand == 111);
  }
  w.DestroyWindow();
  CHECK(w.Handle() == nullptr);
}

namespace {

// An owner-drawn button whose object takes its own notifications back.
class ReflectingButton : public fw::CWnd {
public:
  int draws = 0, clicks = 0, notifies = 0;
  LRESULT OnDraw(WPARAM, LPARAM l) {
    ++draws;
    return TRUE;
  }
  LRESULT OnClicked(WPARAM w, LPARAM) { return ++clicks, 0; }
  LRESULT OnNotify(WPARAM, LPARAM l) {
    return ++notifies, reinterpret_cast<NMHDR*>(l)->code == 12345 ? 55 : 0;
  }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(ReflectingButton)
  fw::OnMessage(fw::Reflected(WM_DRAWITEM), &ReflectingButton::OnDraw),
  fw::OnMessage(fw::Reflected(WM_COMMAND), &ReflectingButton::OnClicked),
  fw::OnMessage(fw::Reflected(WM_NOTIFY), &ReflectingButton::OnNotify),
END_MESSAGE_TABLE(fw::CWnd)

class Parent : public BaseWnd {
public:
  int parentCommands = 0;
  LRESULT OnAnyCommand(WPARAM, LPARAM) { return ++parentCommands, 0; }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(Parent)
  fw::OnCommand(0, 0xFFFF, &Parent::OnAnyCommand),
END_MESSAGE_TABLE(BaseWnd)

}  // namespace

TEST_CASE("notifications are reflected to the control's own object") {
  Parent parent;
  REQUIRE(parent.Create());
  HWND button = CreateWindowExA(0, "BUTTON", "", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 0, 0, 20,
                                20, parent, reinterpret_cast<HMENU>(42), nullptr, nullptr);
  ReflectingButton object;
  REQUIRE(object.Subclass(button));
  CHECK(fw::CWnd::FromHandle(button) == &object);

  // The system sends WM_DRAWITEM to the parent while painting the button.
  ShowWindow(parent, SW_SHOW);
  UpdateWindow(parent);
  RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  CHECK(object.draws >= 1);

  // A click notification goes to the button's object, not the parent's table.
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(42, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  CHECK(object.clicks == 1);
  CHECK(parent.parentCommands == 0);
  // Menu commands (no control) stay with the parent.
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(42, 0), 0);
  CHECK(parent.parentCommands == 1);

  NMHDR nm = {button, 42, 12345};
  CHECK(SendMessageA(parent, WM_NOTIFY, 42, reinterpret_cast<LPARAM>(&nm)) == 55);
  CHECK(object.notifies == 1);

  // A control without an object of its own is not reflected to.
  HWND plain = CreateWindowExA(0, "BUTTON", "", WS_CHILD, 0, 0, 5, 5, parent,
                               reinterpret_cast<HMENU>(43), nullptr, nullptr);
  SendMessageA(parent, WM_COMMAND, MAKEWPARAM(43, BN_CLICKED), reinterpret_cast<LPARAM>(plain));
  CHECK(parent.parentCommands == 2);
  parent.DestroyWindow();
  CHECK(object.Handle() == nullptr);
}

namespace {

class Swallower : public BaseWnd {
public:
  UINT swallow = 0;
  int seen = 0;
  bool PreTranslateMessage(MSG* msg) override {
    if (msg->message != swallow) return false;
    ++seen;
    return true;
  }
};

class Counter : public BaseWnd {
public:
  int dispatched = 0;
  LRESULT OnPing(WPARAM, LPARAM) { return ++dispatched, 0; }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(Counter)
  fw::OnMessage(WM_PING, &Counter::OnPing),
END_MESSAGE_TABLE(BaseWnd)

// Runs the framework's loop over what is queued now.
void PumpQueued() {
  PostQuitMessage(0);
  fw::CApp::RunMessageLoop();
}

}  // namespace

TEST_CASE("pre-translation walks from the target window up through its parents") {
  Swallower top;
  REQUIRE(top.Create());
  Counter child;
  REQUIRE(child.Create(top));

  top.swallow = WM_PING;
  PostMessageA(child, WM_PING, 0, 0);
  PumpQueued();
  CHECK(top.seen == 1);
  CHECK(child.dispatched == 0);

  top.swallow = 0;
  PostMessageA(child, WM_PING, 0, 0);
  PumpQueued();
  CHECK(child.dispatched == 1);
  top.DestroyWindow();
}

namespace {

class SelfDeleting : public BaseWnd {
public:
  explicit SelfDeleting(bool* deleted) : deleted(deleted) {}
  ~SelfDeleting() override { *deleted = true; }
  bool* deleted;
protected:
  void PostNcDestroy() override { delete this; }
};

class MainApp : public fw::CApp {
public:
  bool InitInstance() override { return true; }
};

}  // namespace

TEST_CASE("a heap window deletes itself after WM_NCDESTROY; the main window ends the loop") {
  bool deleted = false;
  auto* w = new SelfDeleting(&deleted);
  REQUIRE(w->Create());
  HWND h = w->Handle();
  MainApp app;
  app.mainWnd = w;
  ::DestroyWindow(h);
  CHECK(deleted);
  CHECK(fw::CWnd::FromHandle(h) == nullptr);
  CHECK(app.mainWnd == nullptr);
  // The main window's end posted WM_QUIT: the loop returns at once.
  CHECK(fw::CApp::RunMessageLoop() == 0);
}

namespace {

class TestDialog : public fw::CDialog {
public:
  TestDialog() : fw::CDialog(900) {}
  bool initSeen = false;
  std::string typed;
  BOOL OnInitDialog() override {
    initSeen = true;
    SetDlgItemTextA(hwnd, 901, "typed");
    PostMessageA(hwnd, WM_PING, 0, 0);
    return TRUE;
  }
  LRESULT OnPing(WPARAM, LPARAM) {
    // Default OK handling from the table-less path ends the dialog.
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
  }
  void OnOK() override {
    char text[32] = {};
    GetDlgItemTextA(hwnd, 901, text, sizeof text);
    typed = text;
    EndDialog(77);
  }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(TestDialog)
  fw::OnMessage(WM_PING, &TestDialog::OnPing),
END_MESSAGE_TABLE(fw::CDialog)

}  // namespace

TEST_CASE("a modal dialog from a template runs its table and returns its end code") {
  TestDialog dialog;
  CHECK(dialog.DoModal(nullptr) == 77);
  CHECK(dialog.initSeen);
  CHECK(dialog.typed == "typed");
  CHECK(dialog.Handle() == nullptr);
}

TEST_CASE("a modeless dialog lives until destroyed and is pre-translated") {
  TestDialog dialog;
  REQUIRE(dialog.Create(nullptr));
  CHECK(!dialog.IsModal());
  CHECK(IsWindow(dialog));
  dialog.EndDialog(1);
  CHECK(dialog.Handle() == nullptr);
}

namespace {

// A heap window from a fixed arena that is filled with a pattern when the
// object is deleted and never handed out again: a write through a stale
// pointer after the delete shows in the pattern.
alignas(16) unsigned char arena[512];
size_t arenaUsed = 0;
bool ArenaPoisoned() {
  for (size_t i = 0; i < arenaUsed; ++i)
    if (arena[i] != 0xDD) return false;
  return arenaUsed != 0;
}

template <class Base> class Poisoned : public Base {
public:
  using Base::Base;
  static void* operator new(size_t size) {
    REQUIRE(size <= sizeof arena);
    arenaUsed = 0;
    return arena;
  }
  static void operator delete(void* p, size_t size) {
    memset(p, 0xDD, size);
    arenaUsed = size;
  }
protected:
  void PostNcDestroy() override { delete this; }
};

// Closes its parent from inside its own handler, as the bar's buttons can.
class ClosesParent : public BaseWnd {
public:
  LRESULT OnPing(WPARAM, LPARAM) { return SendMessageA(GetParent(hwnd), WM_CLOSE, 0, 0); }
  DECLARE_MESSAGE_TABLE();
};
BEGIN_MESSAGE_TABLE(ClosesParent)
  fw::OnMessage(WM_PING, &ClosesParent::OnPing),
END_MESSAGE_TABLE(BaseWnd)

// A window with a child object as a member, as the bar has its buttons.
class Owner : public BaseWnd {
public:
  ClosesParent child;
};

}  // namespace

TEST_CASE("a window destroyed inside its own or a child's handler is deleted, and not written after") {
  SUBCASE("its own WM_CLOSE reaches the default handling") {
    auto* w = new Poisoned<BaseWnd>;
    REQUIRE(w->Create());
    SendMessageA(*w, WM_CLOSE, 0, 0);
  }
  SUBCASE("a member child's handler closes it") {
    auto* w = new Poisoned<Owner>;
    REQUIRE(w->Create());
    REQUIRE(w->child.Create(*w));
    SendMessageA(w->child, WM_PING, 0, 0);
  }
  SUBCASE("a modeless dialog ends itself") {
    auto* d = new Poisoned<TestDialog>;
    REQUIRE(d->Create(nullptr));
    SendMessageA(*d, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  }
  CHECK(ArenaPoisoned());
}
