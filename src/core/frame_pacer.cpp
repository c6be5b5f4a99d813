#include "core/frame_pacer.h"

PaceStep FramePacer::OnQueued(Millis now, bool streaming) {
  flowing_ = streaming;
  if (std::holds_alternative<Step>(next_)) return {};  // the next piece is on its way
  const Frame* frame = std::get_if<Frame>(&next_);
  if (!streaming) {
    // The stream paused: the pane catches up at once, or a frame after it last drew,
    // not after the longer gap that a slow pane keeps while data streams in.
    if (!lastDraw_ || now >= *lastDraw_ + kFrameMs) return Draw(false);
    const Millis due = *lastDraw_ + kFrameMs;
    if (frame && frame->due <= due) return {};
    return ArmFrameIn(now, due - now);
  }
  if (frame) {
    // Under a flood the timer, the lowest of messages, may not come: reads look at the time.
    if (now >= frame->due) return Draw(true);
    return {};
  }
  // The first read of a burst waits a frame too: the rest may follow before it.
  return ArmFrame(now);
}

// While the stream goes on, a frame draws one piece: catching up with a pane that the
// next reads replace anyway would take the reader's time. A frame that finds no read
// since the last piece finds the stream paused.
PaceStep FramePacer::OnFrameDue() {
  next_ = Nothing{};
  PaceStep step = Draw(flowing_);
  step.stopFrame = true;  // the timer ticks again and again until it is stopped
  return step;
}

PaceStep FramePacer::OnStep() {
  next_ = Nothing{};
  return Draw(flowing_);
}

PaceStep FramePacer::OnDrawn(Millis now, size_t chars, Micros cost, bool more) {
  lastDraw_ = now;
  lastPieceUs_ = cost;
  costs_.Learn(chars, cost);
  if (chars > 0) lastChars_ = chars;
  if (!more) return {};
  if (streaming_) return ArmFrame(now);
  // Right after the user's input and timers: paint waits for the last piece.
  next_ = Step{};
  return {PaceStep::Kind::PostStep};
}

void FramePacer::OnRefused() { next_ = Nothing{}; }

PaceStep FramePacer::Draw(bool streaming) {
  flowing_ = false;
  // While data streams in, a piece fits its frame's share of the time.
  size_t chars = costs_.PieceFor(streaming ? kFrameMs * 1000.0 / ShareParts() : kStepPieceUs);
  // Pieces of one size cannot tell the fixed part from the characters' part: now and
  // then one of half the size.
  const bool likeLast = chars == kWholeBacklog || (chars >= lastChars_ - lastChars_ / 8 &&
                                                   chars <= lastChars_ + lastChars_ / 8);
  sameSize_ = likeLast ? sameSize_ + 1 : 0;
  if ((costs_.alike() || sameSize_ > 6) && likeLast && lastChars_ >= 2 * kLeastPiece) {
    chars = lastChars_ / 2;
    sameSize_ = 0;
  }
  // A line fitted to small pieces says little of large ones: pieces grow by fourfold at most.
  const size_t grown = 4 * (lastChars_ > 1024 ? lastChars_ : 1024);
  if (chars > grown) chars = grown < (1 << 16) ? grown : kWholeBacklog;
  PaceStep step{PaceStep::Kind::Draw, chars};
  step.stopFrame = std::holds_alternative<Frame>(next_);
  next_ = Nothing{};
  streaming_ = streaming;
  return step;
}

PaceStep FramePacer::ArmFrame(Millis now) { return ArmFrameIn(now, StreamingGap()); }

PaceStep FramePacer::ArmFrameIn(Millis now, Millis wait) {
  next_ = Frame{now + wait};
  PaceStep step{PaceStep::Kind::ArmFrame};
  step.wait = wait;
  return step;
}

// While data streams in, drawing takes at most its share of the time.
Millis FramePacer::StreamingGap() const {
  const Millis gap = (lastPieceUs_ * (ShareParts() - 1) + 999) / 1000;
  return gap > kFrameMs ? gap : kFrameMs;
}

// A least-squares line through the draws, each one counting less than the next.
void DrawCosts::Learn(size_t chars, Micros cost) {
  if (chars == 0) return;  // the pane did not change
  const double n = static_cast<double>(chars);
  const double t = static_cast<double>(cost);
  constexpr double kKept = 0.7;
  // Far from the line: the pane costs something else now (another content, a theme, a
  // load). Of the draws before, only the last one may tell of that already.
  const double expected = fixedUs_ + perCharUs_ * n;
  if (t > expected * 1.5 + 500 || t < expected * 0.5 - 500) {
    weight_ = 1;
    sumN_ = lastN_;
    sumNN_ = lastN_ * lastN_;
    sumT_ = lastT_;
    sumNT_ = lastN_ * lastT_;
  }
  lastN_ = n;
  lastT_ = t;
  weight_ = weight_ * kKept + 1;
  sumN_ = sumN_ * kKept + n;
  sumNN_ = sumNN_ * kKept + n * n;
  sumT_ = sumT_ * kKept + t;
  sumNT_ = sumNT_ * kKept + n * t;
  if (!alike()) {
    const double slope = (weight_ * sumNT_ - sumN_ * sumT_) / (weight_ * sumNN_ - sumN_ * sumN_);
    perCharUs_ = slope > 0 ? slope : 0;
  }
  fixedUs_ = (sumT_ - perCharUs_ * sumN_) / weight_;
  if (fixedUs_ < 0) {
    fixedUs_ = 0;
    perCharUs_ = sumNT_ / sumNN_;
  }
}

size_t DrawCosts::PieceFor(double budgetUs) const {
  if (budgetUs < 2 * fixedUs_) budgetUs = 2 * fixedUs_;
  // The window answers within two frames, unless a change alone takes longer.
  const double longest = fixedUs_ + perCharUs_ * kLeastPiece;
  if (budgetUs > kLongestPieceUs) budgetUs = longest > kLongestPieceUs ? longest : kLongestPieceUs;
  constexpr double kLargest = 1 << 16;  // more than a pane holds
  if (perCharUs_ * kLargest <= budgetUs - fixedUs_) return kWholeBacklog;
  const double chars = (budgetUs - fixedUs_) / perCharUs_;
  return chars > kLeastPiece ? static_cast<size_t>(chars) : kLeastPiece;
}
