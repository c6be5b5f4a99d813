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

// One thing that happens: the user acts, the peer acts, or the message loop delivers.
struct SimStep {
  enum class Kind : uint8_t {
    Send,
    Help,
    Clear,
    Disconnect,
    SwitchMode,
    SwitchProtocol,
    Connect,
    CloseWindow,
    PeerSends,
    PeerDrains,
    PeerCloses,
    PeerResets,
    DeliverRead,
    DeliverWrite,
    DeliverClose,
    DeliverConnect,
    DeliverLookup,
    DeliverStep,
    Tick,
    StaleTick,
    Wait,
  };
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
// Fewer steps that still break a promise (delta debugging).
std::vector<SimStep> Shrink(std::vector<SimStep> steps);
std::string Describe(const std::vector<SimStep>& steps);
// What a failing schedule shows: the promise, the shrunk steps and their trace.
std::string Report(const SimOutcome& failed);
