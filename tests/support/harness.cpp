#include "support/harness.h"

#include <commctrl.h>

#include <vector>

#include "session/session_runner.h"
#include "settings/settings_file.h"
#include "shell/main_window.h"
#include "view/output_pane.h"

namespace {
bool quitSeen = false;

void DispatchPending() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      quitSeen = true;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}
}  // namespace

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    DispatchPending();
    if (condition()) return true;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return condition();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpFor(int ms) {
  PumpUntil([] { return false; }, ms);
}

bool QuitSeen() { return quitSeen; }

bool PumpUntilShown(int timeoutMs) { return PumpUntil(TranscriptUpToDate, timeoutMs); }

bool PumpUntilTick(UINT_PTR id, int timeoutMs) {
  const DWORD start = GetTickCount();
  while (static_cast<int>(GetTickCount() - start) < timeoutMs) {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    if (message.message == WM_QUIT) {
      quitSeen = true;
      continue;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (message.message == WM_TIMER && message.hwnd == app.controls.mainWindow &&
        message.wParam == id)
      return true;
  }
  return false;
}

bool PumpUntilNoSocketEvents(int timeoutMs) {
  return PumpUntil(
      [] {
        MSG waiting;
        return !PeekMessageA(&waiting, app.controls.mainWindow, kSocketNotify, kSocketNotify,
                             PM_NOREMOVE);
      },
      timeoutMs);
}

namespace {
std::vector<std::string> openedPages;
void RecordPage(const char* address) { openedPages.emplace_back(address); }
}  // namespace

const std::vector<std::string>& OpenedPages() { return openedPages; }
void ForgetOpenedPages() { openedPages.clear(); }

void SetTransferMode(TransferMode mode) { RunSession(ev::ModeSwitched{mode}); }

void SetSessionPhase(Phase phase) {
  const TransferMode mode = app.session.mode();  // the user's: it outlives sessions
  app.session = SessionCore{};
  app.session.Handle(ev::ModeSwitched{mode}, 0);
  if (phase == Phase::Idle) return;
  const bool connected = phase == Phase::Connected;
  for (const Event& event :
       {Event{ev::Connect{"127.0.0.1", "7"}}, Event{ev::SocketMade{}}, Event{ev::HostFound{}},
        Event{ev::ConnectCalled{connected ? 0 : -1, connected ? 0 : 10035}}})
    app.session.Handle(event, 0);
  REQUIRE(app.session.phase() == phase);
}

FreshWindow::FreshWindow(const std::string& iniText) {
  folder_ = MakeTempFolder();
  if (!iniText.empty()) WriteFile(iniPath(), iniText);
  executable_ = folder_ + "\\telvane.exe";
  app = AppState{};
  quitSeen = false;
  Surroundings surroundings;
  surroundings.executablePath = executable_.c_str();
  surroundings.openWebPage = &RecordPage;
  window_ = CreateMainWindow(GetModuleHandleA(nullptr), SW_SHOWNORMAL, surroundings);
  REQUIRE(window_ != nullptr);
  DispatchPending();
}

void FreshWindow::Close() {
  if (window_ && IsWindow(window_)) {
    PostMessageA(window_, WM_CLOSE, 0, 0);
    PumpUntil([this] { return !IsWindow(window_) && quitSeen; }, 5000);
  }
  window_ = nullptr;
}

FreshWindow::~FreshWindow() {
  if (window_ && IsWindow(window_)) DestroyWindow(window_);
  window_ = nullptr;
  DispatchPending();
  RemoveFolder(folder_);
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(app.controls.mainWindow)) return text;
  if (HANDLE data = GetClipboardData(CF_TEXT)) {
    text = static_cast<const char*>(GlobalLock(data));
    GlobalUnlock(data);
  }
  CloseClipboard();
  return text;
}

std::string WindowText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

std::string StatusPart(int part) {
  const LRESULT info = SendMessageA(app.controls.statusBar, SB_GETTEXTLENGTHA, part, 0);
  std::string text(static_cast<size_t>(LOWORD(info)) + 1, '\0');
  SendMessageA(app.controls.statusBar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(&text[0]));
  text.resize(LOWORD(info));
  return text;
}

std::string Transcript() { return WindowText(app.controls.outputPane); }

std::string TranscriptTail() {
  const std::string text = Transcript();
  const std::string banner = BannerText();
  if (text.compare(0, banner.size(), banner) == 0) return text.substr(banner.size());
  return text;
}

std::string MakeTempFolder() {
  static int counter = 0;
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  for (;;) {
    std::string folder = std::string(base) + "telvane-test-" +
                         std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) FAIL("cannot create " << folder);
  }
}

void RemoveFolder(const std::string& folder) {
  if (folder.empty()) return;
  WIN32_FIND_DATAA entry;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = entry.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveFolder(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

std::string ReadFile(const std::string& path) {
  HANDLE file =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string text;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    text.append(buffer, got);
  CloseHandle(file);
  return text;
}

void WriteFile(const std::string& path, const std::string& text) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  REQUIRE(file != INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

std::string BesideTestProgram(const char* name) {
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  folder.resize(folder.find_last_of('\\') + 1);
  return folder + name;
}

void TypeChars(HWND window, const std::string& text) {
  for (unsigned char c : text) SendMessageA(window, WM_CHAR, c, 1);
}

void PressKey(HWND window, WPARAM virtualKey) {
  SendMessageA(window, WM_KEYDOWN, virtualKey, 1);
  SendMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

namespace {
BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<std::pair<const std::function<bool(HWND)>*, HWND>*>(param);
  if (!(*search->first)(window)) return TRUE;
  search->second = window;
  return FALSE;
}
}  // namespace

HWND FindThreadWindow(const std::function<bool(HWND)>& match) {
  std::pair<const std::function<bool(HWND)>*, HWND> search{&match, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

HWND FindAnyWindow(const std::function<bool(HWND)>& match) {
  std::pair<const std::function<bool(HWND)>*, HWND> search{&match, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.second;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}
