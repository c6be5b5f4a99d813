// Binary mode: the hex entry rules of the send line, the parse of a hex line, the dump.
#include <cstring>
#include <string>

#include "session/session_steps.h"
#include "support/harness.h"
#include "text/binary_mode.h"
#include "text/escapes.h"
#include "transfer/transfer_fixture.h"
#include "view/output_pane.h"

namespace {

// A main window in a Binary session to a peer that is sent nothing: enough for the rules.
struct BinaryLine {
  ScriptedSession session;
  BinaryLine() : session(TransferMode::Binary) {}
  std::string Line() const { return WindowText(app.controls.sendLine); }
  bool SendEnabled() const { return IsWindowEnabled(app.controls.sendButton) != FALSE; }
};

void Backspace() { SendMessageA(app.controls.sendLine, WM_CHAR, '\b', 1); }

}  // namespace

TEST_CASE("a read's dump in one append shows what one append per byte would") {
  std::string bytes;
  for (int i = 0; i < 1000; ++i) bytes += static_cast<char>(i * 7);
  // From an almost empty pane, and from one that fills up during the dump.
  for (size_t lines : {0, 365}) {
    CAPTURE(lines);
    std::string shown[2];
    for (int way = 0; way < 2; ++way) {
      FreshWindow w;
      SetTransferMode(TransferMode::Binary);
      std::string filler;
      for (size_t n = 0; n < lines; ++n) filler += std::string(78, 'x') + "\r\n";
      AppendOutput(filler.c_str(), static_cast<int>(filler.size()));
      if (way == 0) {
        for (char byte : bytes) {
          char group[4] = {0, 0, ' ', 0};
          ByteToHex(static_cast<unsigned char>(byte), group);
          AppendOutput(group);
        }
        AppendOutput("\r\n");
      } else {
        QueueHexDump(bytes.data(), static_cast<int>(bytes.size()));
        ShowQueuedOutput();
      }
      shown[way] = Transcript();
    }
    CHECK(shown[1] == shown[0]);
    CHECK(shown[1].size() > 3 * bytes.size() / 2);
    if (lines > 0) CHECK(shown[1].find("xxx") == std::string::npos);  // the pane was reset
  }
}

TEST_CASE("digits build pairs and the send button follows the digit count") {
  BinaryLine b;
  struct Step {
    char typed;
    const char* line;
    bool sendable;
  };
  const Step steps[] = {
      {'4', "4", false},
      {'1', "41", true},
      {'4', "41 4", false},
      {'2', "41 42", true},
      {'a', "41 42 A", false},
      {'f', "41 42 AF", true},
      // Nothing else is taken: not a space, not other letters, not high bytes.
      {'g', "41 42 AF", true},
      {' ', "41 42 AF", true},
      {',', "41 42 AF", true},
      {'\t', "41 42 AF", true},
      {'\xE4', "41 42 AF", true},
      {'\x16', "41 42 AF", true},
  };
  for (const Step& step : steps) {
    CAPTURE(step.typed);
    TypeChars(app.controls.sendLine, std::string(1, step.typed));
    CHECK(b.Line() == step.line);
    CHECK(b.SendEnabled() == step.sendable);
  }
}

// Text typed before the switch to Binary stays in the line; its letters count as the
// code page has them, not only the hex digits or the ASCII letters.
TEST_CASE("the digit count of a line takes every letter of the code page") {
  struct Row {
    const char* before;
    const char* after;  // once a 4 is typed
    bool sendable;
  };
  const Row rows[] = {
      {"\xE9",
       "\xE9"
       "4",
       true},
      {"G", "G4", true},
      {"GG", "GG 4", false},
      {",,", ",, 4", false},
  };
  BinaryLine b;
  for (const Row& row : rows) {
    CAPTURE(row.before);
    SetWindowTextA(app.controls.sendLine, row.before);
    TypeChars(app.controls.sendLine, "4");
    CHECK(b.Line() == row.after);
    CHECK(b.SendEnabled() == row.sendable);
  }
}

TEST_CASE("backspace takes a half byte with its space, or the last digit") {
  struct Row {
    const char* typed;
    const char* after;
    bool sendable;
  };
  const Row rows[] = {
      {"414", "41", true},  // 41 4 -> 41
      {"4142", "41 4", false}, {"4", "", true}, {"", "", true}, {"41", "4", false},
  };
  for (const Row& row : rows) {
    CAPTURE(row.typed);
    BinaryLine b;
    TypeChars(app.controls.sendLine, row.typed);
    Backspace();
    CHECK(b.Line() == row.after);
    CHECK(b.SendEnabled() == row.sendable);
  }
}

TEST_CASE("a full line takes its 84th byte and no more") {
  BinaryLine b;
  TypeChars(app.controls.sendLine, std::string(167, 'E'));
  CHECK(b.Line().size() == 250);
  CHECK_FALSE(b.SendEnabled());
  TypeChars(app.controls.sendLine, "E");
  CHECK(b.Line().size() == 251);
  CHECK(b.SendEnabled());
  TypeChars(app.controls.sendLine, "12");
  CHECK(b.Line().size() == 251);
  CHECK(b.Line().substr(246) == "EE EE");
  CHECK(b.SendEnabled());
}

TEST_CASE("keys that edit elsewhere than the end do nothing") {
  BinaryLine b;
  TypeChars(app.controls.sendLine, "4142");
  SendMessageA(app.controls.sendLine, EM_SETSEL, 1, 1);  // a click into the middle
  TypeChars(app.controls.sendLine, "3");
  CHECK(b.Line() == "41 42 3");
  TypeChars(app.controls.sendLine, "4");
  for (WPARAM key : {VK_HOME, VK_LEFT, VK_DELETE, VK_BACK, VK_END, VK_INSERT}) {
    CAPTURE(key);
    SendMessageA(app.controls.sendLine, EM_SETSEL, 0, 2);
    PressKey(app.controls.sendLine, key);
    CHECK(b.Line() == "41 42 34");
  }
  // Pasting, by message or by Ctrl+V, and cutting by Ctrl+X, change nothing.
  REQUIRE(PutOnClipboard("12"));
  SendMessageA(app.controls.sendLine, EM_SETSEL, 0, 0);
  SendMessageA(app.controls.sendLine, WM_PASTE, 0, 0);
  TypeChars(app.controls.sendLine, "\x16\x18\x1A");
  CHECK(b.Line() == "41 42 34");
  CHECK(b.SendEnabled());
}

TEST_CASE("outside a Binary session the line takes characters as they are") {
  struct Row {
    TransferMode mode;
    BYTE connected;
  };
  const Row rows[] = {
      {TransferMode::Binary, 0}, {TransferMode::Ascii, 1}, {TransferMode::Advanced, 1}};
  for (const Row& row : rows) {
    CAPTURE(static_cast<int>(row.mode));
    TcpEchoServer peer;
    REQUIRE(peer.ok());
    FreshWindow w;
    SetTransferMode(row.mode);
    if (row.connected) REQUIRE(OpenSession(peer.port()));
    TypeChars(app.controls.sendLine, "a g,\b!");
    CHECK(WindowText(app.controls.sendLine) == "a g!");
    SendMessageA(app.controls.sendLine, EM_SETSEL, 0, 0);
    PressKey(app.controls.sendLine, VK_DELETE);
    CHECK(WindowText(app.controls.sendLine) == " g!");
  }
}

TEST_CASE("in a Binary session a half byte disables the send button and nothing else") {
  constexpr char kHalfByteStates[] = "00010111";
  ScriptedSession session(TransferMode::Binary);
  REQUIRE(EnabledStates() == kConnectedStates);
  TypeChars(app.controls.sendLine, "4");
  CHECK(EnabledStates() == kHalfByteStates);
  TypeChars(app.controls.sendLine, "1");
  CHECK(EnabledStates() == kConnectedStates);
  Backspace();
  CHECK(EnabledStates() == kHalfByteStates);
  Backspace();
  CHECK(EnabledStates() == kConnectedStates);
}
