#include "fixtures.h"

#include <commctrl.h>

#include <map>

#include "commands/web_pages.h"

void RunTyped(const std::string& text) {
  SetWindowTextA(app.controls.sendLine, "");
  TypeChars(app.controls.sendLine, text);
  PressKey(app.controls.sendLine, VK_RETURN);
}

void RunExact(const std::string& text) {
  SetWindowTextA(app.controls.sendLine, text.c_str());
  PressKey(app.controls.sendLine, VK_RETURN);
}

void ClickStatusPart(int part) {
  NMMOUSE click = {};
  click.hdr.hwndFrom = app.controls.statusBar;
  click.hdr.idFrom = kStatusBarId;
  click.hdr.code = static_cast<UINT>(NM_CLICK);
  click.dwItemSpec = static_cast<DWORD_PTR>(part);
  click.pt = POINT{2, 2};
  CHECK(SendMessageA(app.controls.mainWindow, WM_NOTIFY, kStatusBarId,
                     reinterpret_cast<LPARAM>(&click)) == 0);
}

namespace {
RequestSpy* activeSpy = nullptr;
std::map<UINT_PTR, ModalWatcher*> watchers;  // by timer: watchers may nest

HWND FindVisibleOfClass(const char* wantedClass) {
  return FindThreadWindow([wantedClass](HWND window) {
    return ClassOf(window) == wantedClass && IsWindowVisible(window);
  });
}
}  // namespace

RequestSpy::RequestSpy() {
  activeSpy = this;
  previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
      app.controls.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RequestSpy::Proc)));
}

RequestSpy::~RequestSpy() {
  if (IsWindow(app.controls.mainWindow))
    SetWindowLongPtrA(app.controls.mainWindow, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
  activeSpy = nullptr;
}

LRESULT CALLBACK RequestSpy::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const bool request = (message == WM_COMMAND && lParam == 0) || message == WM_KEYUP ||
                       (message == WM_SYSCOMMAND && LOWORD(wParam) == kAboutCommand) ||
                       message == WM_USER;
  if (request) ++activeSpy->count_;
  return CallWindowProcA(activeSpy->previous_, window, message, wParam, lParam);
}

ModalWatcher::ModalWatcher(std::function<bool()> onTick, int timeoutMs)
    : onTick_(std::move(onTick)), ticksLeft_(timeoutMs / 20) {
  timer_ = SetTimer(nullptr, 0, 20, &ModalWatcher::Tick);
  REQUIRE(timer_ != 0);
  watchers[timer_] = this;
}

ModalWatcher::~ModalWatcher() {
  if (timer_) {
    KillTimer(nullptr, timer_);
    watchers.erase(timer_);
  }
}

void CALLBACK ModalWatcher::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
  const auto found = watchers.find(timer);
  if (found == watchers.end()) return;
  ModalWatcher* w = found->second;
  if (w->done_) return;
  if (w->onTick_()) {
    w->done_ = true;
  } else if (--w->ticksLeft_ <= 0) {
    w->timedOut_ = true;
    w->done_ = true;
    EndMenu();
    if (HWND box = OpenMessageBox()) CloseMessageBox(box);
  }
  if (w->done_ && w->timer_) {
    KillTimer(nullptr, w->timer_);
    watchers.erase(w->timer_);
    w->timer_ = 0;
  }
}

HWND OpenMenuWindow() { return FindVisibleOfClass("#32768"); }
HWND OpenMessageBox() { return FindVisibleOfClass("#32770"); }

BoxContents ReadMessageBox(HWND box) {
  BoxContents contents;
  contents.caption = WindowText(box);
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") != 0) continue;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      if (SendMessageA(child, STM_GETICON, 0, 0)) contents.hasIcon = true;
    } else if (contents.text.empty()) {
      contents.text = WindowText(child);
    }
  }
  return contents;
}

void CloseMessageBox(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }

void ChooseMenuMnemonic(HWND menuWindow, char mnemonic) {
  PostMessageA(menuWindow, WM_CHAR, static_cast<unsigned char>(mnemonic), 1);
}

void SetClipboardText(const std::string& text) {
  REQUIRE(OpenClipboard(app.controls.mainWindow));
  EmptyClipboard();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
  GlobalUnlock(memory);
  SetClipboardData(CF_TEXT, memory);
  CloseClipboard();
}

PageRecorder::PageRecorder() { ForgetOpenedPages(); }

PageRecorder::~PageRecorder() = default;

const std::vector<std::string>& PageRecorder::pages() const { return OpenedPages(); }
