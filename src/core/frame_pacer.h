// When the pane catches up, and in what pieces. Reads come faster than a pane can be
// redrawn: while data streams in, the pane takes one piece at most once a frame and
// drawing takes at most a third of the time (a twentieth for datagrams); when the
// stream pauses it catches up at once, or a frame after it last did. Each draw tells
// what a change of the pane cost, and the pieces follow what the pane costs where it
// runs. Pure: the time is passed in, and the pacer only decides.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <variant>

using Millis = uint64_t;
using Micros = uint64_t;

constexpr Millis kFrameMs = 16;
constexpr Micros kStepPieceUs = 8000;  // a piece while catching up: the window answers in a frame
constexpr Micros kLongestPieceUs = 2 * kFrameMs * 1000;
constexpr size_t kLeastPiece = 256;
constexpr size_t kWholeBacklog = static_cast<size_t>(-1);

// What a change of the pane costs: a fixed part for each change (a theme's scroll bars
// are redrawn whatever changed) and a part for each character, fitted to the last
// draws, the older ones counting less.
class DrawCosts {
 public:
  void Learn(size_t chars, Micros cost);
  // The characters of a piece that costs about budget; kWholeBacklog when the
  // characters cost next to nothing. A piece costs at least twice the fixed part
  // (pieces that are mostly fixed cost would only multiply it), but no more than
  // kLongestPieceUs where a least piece fits in that.
  size_t PieceFor(double budgetUs) const;
  // The last draws were all of about one size: the fixed part cannot be told apart.
  bool alike() const { return weight_ * sumNN_ - sumN_ * sumN_ <= sumN_ * sumN_ / 100; }

 private:
  double weight_ = 0, sumN_ = 0, sumNN_ = 0, sumT_ = 0, sumNT_ = 0;
  double lastN_ = 0, lastT_ = 0;
  double fixedUs_ = 1000;
  double perCharUs_ = 2;
};

struct PaceStep {
  enum class Kind { Nothing, Draw, ArmFrame, PostStep };
  Kind kind = Kind::Nothing;
  size_t chars = 0;        // Draw: at most this many characters
  Millis wait = 0;         // ArmFrame: in this many ms
  bool stopFrame = false;  // Draw: the frame timer is stopped first
};

class FramePacer {
 public:
  // Text was queued for the pane; streaming: more waits unread behind it.
  PaceStep OnQueued(Millis now, bool streaming);
  // The frame timer ticked, or a posted step came.
  PaceStep OnFrameDue();
  PaceStep OnStep();
  // A piece of `chars` characters went into the pane in `cost`; more: text waits.
  PaceStep OnDrawn(Millis now, size_t chars, Micros cost, bool more);
  // No timer or step could be had: the caller draws everything now.
  void OnRefused();
  // Datagrams that come while the pane is drawn may be lost: drawing then takes a
  // smaller share of the time than for a stream, which only waits.
  void SetLossy(bool lossy) { lossy_ = lossy; }

  // Nothing is scheduled: no frame timer and no step on its way.
  bool idle() const { return std::holds_alternative<Nothing>(next_); }

 private:
  PaceStep Draw(bool streaming);
  PaceStep ArmFrame(Millis now);
  PaceStep ArmFrameIn(Millis now, Millis wait);
  Millis StreamingGap() const;
  unsigned ShareParts() const { return lossy_ ? 20 : 3; }

  // What brings the next piece: nothing, the frame timer when it is due, or a posted step.
  struct Nothing {};
  struct Frame {
    Millis due;
  };
  struct Step {};

  DrawCosts costs_;
  std::optional<Millis> lastDraw_;
  std::variant<Nothing, Frame, Step> next_;
  bool streaming_ = false;  // why the piece being drawn is drawn
  bool flowing_ = false;    // a read of a stream came after the last piece
  bool lossy_ = false;
  Micros lastPieceUs_ = 0;
  size_t lastChars_ = 0;
  unsigned sameSize_ = 0;  // pieces in a row of about the last one's size
};
