#include "core/frame_pacer.h"

PaceStep FramePacer::OnQueued(Millis now, bool streaming) {
  streamKnown_ = streaming;
  readSinceDraw_ = true;
  if (stepPosted_) return {};  // the next piece is on its way
  if (!streaming) {
    // The stream paused: the pane catches up at once, or a frame after it last drew,
    // not after the longer gap that a slow pane keeps while data streams in.
    const Millis due = lastDraw_ + kFrameMs;
    if (!drewOnce_ || now >= due) return Draw(false);
    if (frameDue_ && frameDueAt_ <= due) return {};
    return ArmFrameIn(now, due - now);
  }
  if (frameDue_) {
    // Under a flood the timer, the lowest of messages, may not come: reads look at the time.
    if (now >= frameDueAt_) return Draw(true);
    return {};
  }
  // The first read of a burst waits a frame too: the rest may follow before it.
  return ArmFrame(now);
}

// While the stream goes on, a frame draws one piece: catching up with a pane that the
// next reads replace anyway would take the reader's time. A frame that finds no read
// since the last piece finds the stream paused.
PaceStep FramePacer::OnFrameDue() {
  frameDue_ = false;
  PaceStep step = Draw(Flowing());
  step.stopFrame = true;  // the timer ticks again and again until it is stopped
  return step;
}

PaceStep FramePacer::OnStep() {
  stepPosted_ = false;
  return Draw(Flowing());
}

PaceStep FramePacer::OnDrawn(Millis now, size_t chars, Millis cost, bool more) {
  lastDraw_ = now;
  drewOnce_ = true;
  lastPieceMs_ = cost;
  if (!more) return {};
  // The next piece should take about kFramePieceMs, by what this one cost. The cost
  // per character varies a lot (tabs and control bytes are slow to lay out), and each
  // change of the pane costs a fixed amount too, so pieces have a least size.
  const size_t fitting = static_cast<size_t>(chars * kFramePieceMs / (cost > 0 ? cost : 1));
  // A piece that overran shrinks the next one at once; growing goes by halves.
  size_t next = (pieceChars_ + fitting) / 2;
  if (next < kMinFramePiece) next = kMinFramePiece;
  if (next > kMaxFramePiece) next = kMaxFramePiece;
  pieceChars_ = next;
  if (streaming_) return ArmFrame(now);
  // Right after the user's input and timers: paint waits for the last piece.
  stepPosted_ = true;
  return {PaceStep::Kind::PostStep};
}

void FramePacer::OnRefused() {
  frameDue_ = false;
  stepPosted_ = false;
}

PaceStep FramePacer::Draw(bool streaming) {
  readSinceDraw_ = false;
  PaceStep step{PaceStep::Kind::Draw, pieceChars_};
  step.stopFrame = frameDue_;
  frameDue_ = false;
  streaming_ = streaming;
  return step;
}

PaceStep FramePacer::ArmFrame(Millis now) { return ArmFrameIn(now, StreamingGap()); }

PaceStep FramePacer::ArmFrameIn(Millis now, Millis wait) {
  frameDue_ = true;
  frameDueAt_ = now + wait;
  PaceStep step{PaceStep::Kind::ArmFrame};
  step.wait = wait;
  return step;
}

// While data streams in, drawing takes at most a third of the time, a twentieth when
// what comes meanwhile may be lost.
Millis FramePacer::StreamingGap() const {
  const Millis gap = (lossy_ ? 19 : 2) * lastPieceMs_;
  return gap > kFrameMs ? gap : kFrameMs;
}
