// When the pane catches up with what was read. Reads come faster than a pane can be
// redrawn: while data streams in, the pane takes one piece at most once a frame and
// drawing takes at most a third of the time (a twentieth for datagrams); when the
// stream pauses it catches up at once, or a frame after it last did. A full pane goes
// in pieces sized to take about kFramePieceMs each. Pure: the time is passed in, and
// the pacer only decides.
#pragma once

#include <cstddef>
#include <cstdint>

using Millis = uint64_t;

constexpr Millis kFrameMs = 16;
constexpr Millis kFramePieceMs = 8;
constexpr size_t kMinFramePiece = 2048;
constexpr size_t kMaxFramePiece = 1 << 16;
constexpr size_t kWholeBacklog = static_cast<size_t>(-1);

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
  // A piece of `chars` characters went into the pane in `cost` ms; more: text waits.
  PaceStep OnDrawn(Millis now, size_t chars, Millis cost, bool more);
  // No timer or step could be had: the caller draws everything now.
  void OnRefused();
  // Datagrams that come while the pane is drawn may be lost: drawing then takes a
  // smaller share of the time than for a stream, which only waits.
  void SetLossy(bool lossy) { lossy_ = lossy; }

  // Nothing is scheduled: no frame timer and no step on its way.
  bool idle() const { return !frameDue_ && !stepPosted_; }

 private:
  PaceStep Draw(bool streaming);
  PaceStep ArmFrame(Millis now);
  PaceStep ArmFrameIn(Millis now, Millis wait);
  Millis StreamingGap() const;
  bool Flowing() const { return streamKnown_ && readSinceDraw_; }

  Millis lastDraw_ = 0;
  bool drewOnce_ = false;
  Millis frameDueAt_ = 0;
  bool frameDue_ = false;
  bool stepPosted_ = false;
  bool streaming_ = false;      // why the piece being drawn is drawn
  bool streamKnown_ = false;    // the last read was part of a stream
  bool readSinceDraw_ = false;  // a read came after the last piece
  bool lossy_ = false;
  size_t pieceChars_ = kMinFramePiece;
  Millis lastPieceMs_ = 0;
};
