#include "framework/Wnd.h"
#include "framework/App.h"

namespace fw {

namespace {
// The window's property that links it to its object.
const char kObjectProp[] = "fw.CWnd";
// The messages being handled on this thread, innermost first.
thread_local Frame* topFrame = nullptr;
// Objects whose windows are gone, waiting for PostNcDestroy.
thread_local CWnd* destroyedList = nullptr;
// The window last looked up and its object. Wine keeps properties in its
// server, a round trip per look-up, and most messages go to the window
// that had the last one. Attach and Detach keep it true.
thread_local HWND lastHandle = nullptr;
thread_local CWnd* lastObject = nullptr;
}

Frame::Frame(CWnd* wnd, UINT msg, WPARAM wParam, LPARAM lParam)
    : wnd(wnd), msg(msg), wParam(wParam), lParam(lParam), outer(topFrame) {
  topFrame = this;
}

Frame::~Frame() {
  topFrame = outer;
  if (!destroyed) return;
  // An outer handler of a destroyed window may still use an object that
  // goes with it (a child that is a member of its parent, say).
  for (Frame* f = outer; f; f = f->outer)
    if (f->destroyed) return;
  CWnd::DeleteDestroyed();
}

Frame* Frame::Of(const CWnd* wnd) {
  Frame* f = topFrame;
  while (f && f->wnd != wnd) f = f->outer;
  return f;
}

const MessageEntry CWnd::messageTable[] = {EndOfTable(nullptr)};

CWnd::~CWnd() {
  // An object that dies before its window leaves the window to default handling.
  if (hwnd && FromHandle(hwnd) == this) Detach();
  // A member of an object deleted first is no longer waiting.
  for (CWnd** p = &destroyedList; waiting && *p; p = &(*p)->nextDestroyed)
    if (*p == this) {
      *p = nextDestroyed;
      break;
    }
}

CWnd* CWnd::FromHandle(HWND h) {
  if (h && h != lastHandle) {
    lastObject = static_cast<CWnd*>(GetPropA(h, kObjectProp));
    lastHandle = h;
  }
  return h ? lastObject : nullptr;
}

ATOM CWnd::RegisterClass(WNDCLASSEXA wc) {
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = StaticWndProc;
  if (!wc.hInstance) wc.hInstance = Instance();
  return RegisterClassExA(&wc);
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* title, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
  HWND h = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent,
                           menuOrId, Instance(), this);
  // A window of a system class never saw our procedure: keep the handle only.
  if (h && !hwnd) hwnd = h;
  return h != nullptr;
}

bool CWnd::Subclass(HWND control) {
  if (!control || FromHandle(control)) return false;
  Attach(control);
  PreSubclassWindow();
  superProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWndProc)));
  return true;
}

void CWnd::DestroyWindow() {
  if (hwnd) ::DestroyWindow(hwnd);
}

bool CWnd::Alive() const {
  const Frame* f = Frame::Of(this);
  return f ? !f->destroyed : hwnd != nullptr;
}

void CWnd::Attach(HWND h) {
  hwnd = h;
  SetPropA(h, kObjectProp, this);
  lastHandle = nullptr;
}

void CWnd::Detach() {
  if (superProc) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(superProc));
    superProc = nullptr;
  }
  RemovePropA(hwnd, kObjectProp);
  lastHandle = nullptr;
  hwnd = nullptr;
}

bool CWnd::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const NMHDR* nm = msg == WM_NOTIFY ? reinterpret_cast<const NMHDR*>(lParam) : nullptr;
  for (const MessageEntry* e = MessageTable(); e;) {
    bool match = false;
    switch (e->kind) {
      case EntryKind::End:
        e = e->base;
        continue;
      case EntryKind::Message:
        match = e->msg == msg;
        break;
      case EntryKind::Command:
        match = msg == e->msg && LOWORD(wParam) >= e->idFirst && LOWORD(wParam) <= e->idLast &&
                (e->code == AnyCode || HIWORD(wParam) == e->code);
        break;
      case EntryKind::Notify:
        match = nm && nm->code == e->msg && nm->idFrom >= e->idFirst && nm->idFrom <= e->idLast;
        break;
    }
    if (match) {
      result = (this->*(e->handler))(wParam, lParam);
      return true;
    }
    ++e;
  }
  return false;
}

bool CWnd::Reflect(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  HWND control = nullptr;
  switch (msg) {
    case WM_COMMAND:  // lParam is the control for notifications, 0 for menus
      control = reinterpret_cast<HWND>(lParam);
      break;
    case WM_NOTIFY:
      control = reinterpret_cast<const NMHDR*>(lParam)->hwndFrom;
      break;
    case WM_DRAWITEM:
      if (wParam) control = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->hwndItem;
      break;
    default:
      return false;
  }
  CWnd* child = FromHandle(control);
  return child && child != this && child->Dispatch(Reflected(msg), wParam, lParam, result);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (Reflect(msg, wParam, lParam, result) || Dispatch(msg, wParam, lParam, result)) return result;
  if (msg == WM_COMMAND && OnCommandRoute(wParam, lParam)) return 0;
  return DefaultProc(msg, wParam, lParam);
}

LRESULT CWnd::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return superProc ? CallWindowProcA(superProc, hwnd, msg, wParam, lParam)
                   : DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT CWnd::Default() {
  const Frame* f = Frame::Of(this);
  return f && !f->destroyed ? DefaultProc(f->msg, f->wParam, f->lParam) : 0;
}

// Called inside a frame of this object, which keeps it from being deleted.
LRESULT CWnd::Route(UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = WindowProc(msg, wParam, lParam);
  if (msg == WM_NCDESTROY) WindowDestroyed();
  return result;
}

void CWnd::WindowDestroyed() {
  for (Frame* f = topFrame; f; f = f->outer)
    if (f->wnd == this) f->destroyed = true;
  Detach();
  CApp* app = CApp::Current();
  if (app && app->mainWnd == this) {
    app->mainWnd = nullptr;
    PostQuitMessage(0);
  }
  nextDestroyed = destroyedList;
  destroyedList = this;
  waiting = true;
}

void CWnd::DeleteDestroyed() {
  while (CWnd* w = destroyedList) {
    destroyedList = w->nextDestroyed;
    w->waiting = false;
    w->PostNcDestroy();  // may delete w, and with it objects still listed
  }
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND h, UINT msg, WPARAM wParam, LPARAM lParam) {
  CWnd* self = FromHandle(h);
  if (!self && msg == WM_NCCREATE) {
    self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
    if (self) self->Attach(h);
  }
  if (!self) return DefWindowProcA(h, msg, wParam, lParam);
  Frame frame(self, msg, wParam, lParam);
  return self->Route(msg, wParam, lParam);
}

bool CWnd::RunPreTranslate(MSG* msg) {
  for (HWND h = msg->hwnd; h; h = GetParent(h)) {
    CWnd* w = FromHandle(h);
    if (w && w->PreTranslateMessage(msg)) return true;
  }
  return false;
}

}  // namespace fw
