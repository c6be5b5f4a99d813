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
  CHECK(pacer.OnDrawn(1000, 10, 1000, false).kind == Kind::Nothing);
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
  const PaceStep next = pacer.OnDrawn(1036, due.chars, 20000, true);
  CHECK(next.kind == Kind::ArmFrame);
  CHECK(next.wait == 40);
}

TEST_CASE("a full pane goes in pieces: after a pause the next one comes as a step") {
  FramePacer pacer;
  const PaceStep first = pacer.OnQueued(1000, false);
  REQUIRE(first.kind == Kind::Draw);
  CHECK(pacer.OnDrawn(1001, first.chars, 1000, true).kind == Kind::PostStep);
  CHECK(pacer.OnQueued(1001, false).kind == Kind::Nothing);  // the step is on its way
  PaceStep step = pacer.OnStep();
  CHECK(step.kind == Kind::Draw);
  CHECK(step.chars > first.chars);  // a cheap piece: the next one is larger
  // Pieces whose characters cost much shrink, never below the least size.
  for (int i = 0; i < 20; ++i) {
    const size_t chars = step.chars < 30000 ? step.chars : 30000;
    pacer.OnDrawn(1010, chars, 100 + 100 * chars, true);
    step = pacer.OnStep();
  }
  CHECK(step.chars == kLeastPiece);
}

TEST_CASE("while the stream goes on a frame draws one piece; when it pauses the pane catches up") {
  FramePacer pacer;
  pacer.OnQueued(1000, true);
  const PaceStep tick = pacer.OnFrameDue();
  REQUIRE(tick.kind == Kind::Draw);
  // A slow piece: the next one waits two pieces' time, not a step.
  const PaceStep next = pacer.OnDrawn(1096, tick.chars, 80000, true);
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
  CHECK(pacer.OnDrawn(1120, frame.chars, 10000, true).kind == Kind::ArmFrame);
  // Once it pauses, the rest follows in steps.
  CHECK(pacer.OnQueued(1140, false).kind == Kind::Draw);
  CHECK(pacer.OnDrawn(1148, frame.chars, 8000, true).kind == Kind::PostStep);
  CHECK(pacer.OnStep().kind == Kind::Draw);
  CHECK(pacer.OnDrawn(1156, frame.chars, 8000, true).kind == Kind::PostStep);
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
    const PaceStep next = pacer.OnDrawn(1026, 2048, 10000, true);
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
  CHECK(pacer.OnDrawn(1024, step.chars, 8000, true).kind == Kind::ArmFrame);  // 152 ms away
  pacer.OnQueued(1030, true);
  step = pacer.OnFrameDue();  // datagrams came meanwhile: one piece, then the gap again
  CHECK(pacer.OnDrawn(1104, step.chars, 8000, true).kind == Kind::ArmFrame);
  step = pacer.OnFrameDue();  // none came: the rest follows in steps
  CHECK(pacer.OnDrawn(1184, step.chars, 8000, true).kind == Kind::PostStep);
  pacer.OnQueued(1186, true);  // and a datagram that comes meanwhile stops them again
  step = pacer.OnStep();
  CHECK(pacer.OnDrawn(1194, step.chars, 8000, true).kind == Kind::ArmFrame);
}

// A stream that keeps a full pane waiting, drawn at the pace the pacer sets, with made-up
// costs: a change costs fixed + perChar * chars, until the costs change at the 20th draw.
TEST_CASE("the pieces and their spacing follow what a change of the pane costs") {
  constexpr size_t kPane = 30000;
  struct Costs {
    double fixedUs, perCharUs;
  };
  const Costs flat10{10000, 0}, cheap{200, 1}, themed{10000, 3}, slow{25000, 3};
  const struct Row {
    const char* what;
    bool lossy;
    Costs costs, later;
    size_t piece;  // what the stream settles on (kWholeBacklog: all that waits)
    Millis gap;    // from the end of that piece to the next
  } rows[] = {
      {"10 ms whatever its size: all of it in one change", false, flat10, flat10, kWholeBacklog,
       20},
      {"the same for datagrams: a twentieth of the time", true, flat10, flat10, kWholeBacklog, 190},
      {"0.2 ms and a little a character: a third of every frame", false, cheap, cheap, 5133, 16},
      {"the same for datagrams: small pieces, every frame", true, cheap, cheap, 600, 16},
      {"a fixed part and characters that cost: pieces twice the fixed part", false, themed, themed,
       3333, 40},
      {"cheap, then 10 ms a change", false, cheap, flat10, kWholeBacklog, 20},
      {"a change of 25 ms: pieces that keep the window's answer within two frames", false, slow,
       slow, 2333, 64},
      {"10 ms a change, then cheap", true, flat10, cheap, 600, 16},
      {"10 ms a change, then characters that cost too", false, flat10, themed, 3333, 40},
  };
  for (const Row& row : rows) {
    INFO(row.what);
    FramePacer pacer;
    pacer.SetLossy(row.lossy);
    Millis now = 1000;
    PaceStep step = pacer.OnQueued(now, true);
    size_t largest = 0;
    Millis gapOfLargest = 0;
    for (int draw = 0; draw < 40; ++draw) {
      REQUIRE(step.kind == Kind::ArmFrame);
      now += step.wait;
      const PaceStep piece = pacer.OnQueued(now, true);
      REQUIRE(piece.kind == Kind::Draw);
      const Costs& costs = draw < 20 ? row.costs : row.later;
      const size_t chars = piece.chars < kPane ? piece.chars : kPane;
      const auto cost = static_cast<Micros>(costs.fixedUs + costs.perCharUs * chars);
      now += cost / 1000;
      step = pacer.OnDrawn(now, chars, cost, true);
      // Drawing keeps to its share of the time, and a frame draws at most one piece.
      CHECK(step.wait >= kFrameMs);
      CHECK(step.wait * 1000 >= cost * (row.lossy ? 19 : 2));
      if (draw >= 30 && piece.chars >= largest) {  // smaller pieces now and then test the costs
        largest = piece.chars;
        gapOfLargest = step.wait;
      }
    }
    if (row.piece == kWholeBacklog)
      CHECK(largest == kWholeBacklog);
    else
      CHECK(static_cast<double>(largest) == doctest::Approx(row.piece).epsilon(0.02));
    CHECK(gapOfLargest == row.gap);
  }
}
