// Text that has reached the transcript but not yet the pane. Reads come faster than
// a pane can be redrawn, so the pane is brought up to date once per frame; meanwhile
// this keeps, by the pane's limit and reset rule, only what will still be on screen.
// Pure: no window calls.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

class TranscriptBacklog {
 public:
  // Appends the rendered characters [from, length) of one append to out.
  using Render = std::function<void(size_t from, std::string& out)>;

  bool empty() const { return !resetFirst_ && text_.empty(); }
  // The pane as it stands; called while empty, before the first Add.
  void Begin(size_t paneLength, size_t limit, size_t bannerLength);
  // One append of `length` rendered characters, as the pane would take it: where it
  // overflows, the pane is reset to the banner and the rest goes on after it.
  void Add(size_t length, const Render& render);
  // What goes in after the pane's text (or after the banner, with resetFirst).
  const std::string& text() const { return text_; }
  // Hands over the first characters for the pane, whole lines of at most maxChars
  // where there are such (else the first line), and whether the pane goes back to the
  // banner before them; the rest stays for later.
  std::string TakeFront(size_t maxChars, bool& resetFirst);
  void Clear();

 private:
  size_t paneLength_ = 0;
  size_t limit_ = 0;
  size_t bannerLength_ = 0;
  bool resetFirst_ = false;
  std::string text_;
};
