// When the pane catches up: the pacer's decisions for a given clock.
#include <doctest.h>

#include <initializer_list>

#include "core/frame_pacer.h"

namespace {
using Kind = PaceStep::Kind;
}

TEST_CASE("a read after a pause is drawn at once; reads within a frame wait for it") {
  FramePacer pacer;
  CHECK(pacer.OnQueued(1000, false).kind == Kind::Draw);
  CHECK(pacer.OnDrawn(1000, 10, 1, false).kind == Kind::Nothing);
  CHECK(pacer.idle());
  const PaceStep wait = pacer.OnQueued(1005, false);
  CHECK(wait.kind == Kind::ArmFrame);
  CHECK(wait.wait == kFrameMs - 5);  // a frame after the last draw
  CHECK_FALSE(pacer.idle());
  CHECK(pacer.OnQueued(1008, false).kind == Kind::Nothing);  // the frame is due already
  const PaceStep tick = pacer.OnFrameDue();
  CHECK(tick.kind == Kind::Draw);
  CHECK(tick.stopFrame);  // a timer would tick on
  CHECK(pacer.idle());
}

TEST_CASE("while data streams in, reads look at the time: the timer may not come") {
  FramePacer pacer;
  CHECK(pacer.OnQueued(1000, true).kind == Kind::ArmFrame);  // a burst's first read waits
  CHECK(pacer.OnQueued(1010, true).kind == Kind::Nothing);
  const PaceStep due = pacer.OnQueued(1016, true);
  CHECK(due.kind == Kind::Draw);
  CHECK(due.stopFrame);
  // A piece that took 20 ms: the next frame is two pieces' time away.
  const PaceStep next = pacer.OnDrawn(1036, kMinFramePiece, 20, true);
  CHECK(next.kind == Kind::ArmFrame);
  CHECK(next.wait == 40);
}

TEST_CASE("a full pane goes in pieces: after a pause the next one comes as a step") {
  FramePacer pacer;
  const PaceStep first = pacer.OnQueued(1000, false);
  REQUIRE(first.kind == Kind::Draw);
  CHECK(first.chars == kMinFramePiece);
  CHECK(pacer.OnDrawn(1001, first.chars, 1, true).kind == Kind::PostStep);
  CHECK(pacer.OnQueued(1001, false).kind == Kind::Nothing);  // the step is on its way
  const PaceStep second = pacer.OnStep();
  CHECK(second.kind == Kind::Draw);
  CHECK(second.chars > kMinFramePiece);  // a cheap piece: the next one is larger
  CHECK(second.chars <= kMaxFramePiece);
  // Pieces that cost much shrink, never below the least size.
  for (int i = 0; i < 20; ++i) {
    pacer.OnDrawn(1010, kMinFramePiece, 100, true);
    pacer.OnStep();
  }
  CHECK(pacer.OnStep().chars == kMinFramePiece);
}

TEST_CASE("while the stream goes on a frame draws one piece; when it pauses the pane catches up") {
  FramePacer pacer;
  pacer.OnQueued(1000, true);
  const PaceStep tick = pacer.OnFrameDue();
  REQUIRE(tick.kind == Kind::Draw);
  // A slow piece: the next one waits two pieces' time, not a step.
  const PaceStep next = pacer.OnDrawn(1096, tick.chars, 80, true);
  CHECK(next.kind == Kind::ArmFrame);
  CHECK(next.wait == 160);
  CHECK(pacer.OnQueued(1100, true).kind == Kind::Nothing);
  // The stream pauses: the frame comes a frame after the last draw, not 160 ms later.
  const PaceStep paused = pacer.OnQueued(1104, false);
  CHECK(paused.kind == Kind::ArmFrame);
  CHECK(paused.wait == 1096 + kFrameMs - 1104);
  CHECK(pacer.OnQueued(1106, false).kind == Kind::Nothing);
  // A pane that the stream replaces anyway is not caught up in steps between its reads.
  pacer.OnQueued(1110, true);
  const PaceStep frame = pacer.OnFrameDue();
  CHECK(pacer.OnDrawn(1120, frame.chars, 10, true).kind == Kind::ArmFrame);
  // Once it pauses, the rest follows in steps.
  CHECK(pacer.OnQueued(1140, false).kind == Kind::Draw);
  CHECK(pacer.OnDrawn(1148, frame.chars, 8, true).kind == Kind::PostStep);
  CHECK(pacer.OnStep().kind == Kind::Draw);
  CHECK(pacer.OnDrawn(1156, frame.chars, 8, true).kind == Kind::PostStep);
}

TEST_CASE("when nothing can be scheduled the pacer is idle again") {
  FramePacer pacer;
  pacer.OnQueued(1000, true);
  REQUIRE_FALSE(pacer.idle());
  pacer.OnRefused();
  CHECK(pacer.idle());
}

TEST_CASE("for datagrams, which are lost while the pane is drawn, drawing takes a twentieth") {
  for (const bool lossy : {false, true}) {
    CAPTURE(lossy);
    FramePacer pacer;
    pacer.SetLossy(lossy);
    pacer.OnQueued(1000, true);
    pacer.OnQueued(1016, true);
    const PaceStep next = pacer.OnDrawn(1026, kMinFramePiece, 10, true);
    CHECK(next.kind == Kind::ArmFrame);
    CHECK(next.wait == (lossy ? 190u : 20u));
  }
}

TEST_CASE("a frame with no read since the last piece finds the stream paused and catches up") {
  FramePacer pacer;
  pacer.SetLossy(true);
  pacer.OnQueued(1000, true);
  PaceStep step = pacer.OnFrameDue();
  REQUIRE(step.kind == Kind::Draw);
  CHECK(pacer.OnDrawn(1024, step.chars, 8, true).kind == Kind::ArmFrame);  // 152 ms away
  pacer.OnQueued(1030, true);
  step = pacer.OnFrameDue();  // datagrams came meanwhile: one piece, then the gap again
  CHECK(pacer.OnDrawn(1104, step.chars, 8, true).kind == Kind::ArmFrame);
  step = pacer.OnFrameDue();  // none came: the rest follows in steps
  CHECK(pacer.OnDrawn(1184, step.chars, 8, true).kind == Kind::PostStep);
  pacer.OnQueued(1186, true);  // and a datagram that comes meanwhile stops them again
  step = pacer.OnStep();
  CHECK(pacer.OnDrawn(1194, step.chars, 8, true).kind == Kind::ArmFrame);
}
