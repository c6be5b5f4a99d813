// A simulated world around the real session core and driver: peers that answer in
// pieces, stall, close or reset; lookups and connects that answer late or never;
// timers and draw steps that come late, stale or not at all; and a user who does
// anything at any time. Schedules are made from a stream of choices (a seeded
// generator, or a fuzzer's bytes), and the session's promises are checked after
// every step. A failing schedule can be replayed and shrunk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Where the choices of a schedule come from.
class ChoiceSource {
 public:
  virtual ~ChoiceSource() = default;
  virtual uint32_t Next() = 0;
  virtual bool Exhausted() const { return false; }
};

// splitmix64: the same numbers on every platform and library.
class SeededChoices final : public ChoiceSource {
 public:
  explicit SeededChoices(uint64_t seed) : state_(seed) {}
  uint32_t Next() override;

 private:
  uint64_t state_;
};

// A byte per choice; the schedule ends with the bytes.
class ByteChoices final : public ChoiceSource {
 public:
  ByteChoices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint32_t Next() override { return at_ < size_ ? data_[at_++] : 0; }
  bool Exhausted() const override { return at_ >= size_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t at_ = 0;
};

// Every kind of step and how often a schedule picks it (Connect: 14 while idle): the
// user's, the peer's, then what the message loop delivers.
// clang-format off
#define TELVANE_SIM_KINDS(X)                                                        \
  X(Send, 12) X(Help, 2) X(Clear, 1) X(Disconnect, 2) X(SwitchMode, 2)              \
  X(SwitchProtocol, 2) X(Connect, 1) X(CloseWindow, 1)                              \
  X(PeerSends, 12) X(PeerDrains, 5) X(PeerCloses, 2) X(PeerResets, 1)               \
  X(DeliverRead, 12) X(DeliverWrite, 6) X(DeliverClose, 6) X(DeliverConnect, 6)     \
  X(DeliverLookup, 6) X(DeliverStep, 8) X(Tick, 10) X(StaleTick, 4) X(Wait, 6)
// clang-format on

// One thing that happens: the user acts, the peer acts, or the message loop delivers.
struct SimStep {
#define TELVANE_SIM_KIND(name, weight) name,
  enum class Kind : uint8_t { TELVANE_SIM_KINDS(TELVANE_SIM_KIND) };
#undef TELVANE_SIM_KIND
  Kind kind = Kind::Wait;
  uint32_t arg = 0;   // which line, which bytes, which timer...
  uint32_t luck = 0;  // seeds the world's answers to the actions of this step
};

struct SimOutcome {
  std::vector<SimStep> steps;  // those that applied
  size_t events = 0;           // handed to the driver
  std::string broken;          // the first promise that failed; empty: all held
};

// A schedule of at most maxSteps steps, made as it runs; then the world settles.
SimOutcome RunChoices(ChoiceSource& choices, size_t maxSteps);
// The same steps again (a step that no longer applies is skipped); trace, when given,
// gets every event and action.
SimOutcome Replay(const std::vector<SimStep>& steps, std::string* trace = nullptr);
// Fewer steps that still break the same promise: ever smaller runs of them left out.
std::vector<SimStep> Shrink(std::vector<SimStep> steps);
// What a failing schedule shows: the promise, the shrunk steps and their trace.
std::string Report(const SimOutcome& failed);
