// The session core under random schedules of a simulated world. TELVANE_SIM_SCHEDULES
// sets how many (10,000 by default), TELVANE_SIM_SEED the first seed, TELVANE_SIM_STEPS
// their longest (120). The first
// schedule that breaks a promise is shrunk and shown; the rest are only counted.
#include <doctest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "rules/simulation.h"

namespace {

long FromEnvironment(const char* name, long otherwise) {
  const char* value = std::getenv(name);
  return value && *value ? std::atol(value) : otherwise;
}

}  // namespace

TEST_CASE("simulation: every promise holds under random schedules") {
  const long schedules = FromEnvironment("TELVANE_SIM_SCHEDULES", 10000);
  const long firstSeed = FromEnvironment("TELVANE_SIM_SEED", 1);
  const size_t steps = static_cast<size_t>(FromEnvironment("TELVANE_SIM_STEPS", 120));
  size_t events = 0;
  long failed = 0;
  std::map<std::string, long> byPromise;
  for (long seed = firstSeed; seed < firstSeed + schedules; ++seed) {
    SeededChoices choices(static_cast<uint64_t>(seed));
    const SimOutcome outcome = RunChoices(choices, steps);
    events += outcome.events;
    if (outcome.broken.empty()) continue;
    ++byPromise[outcome.broken];
    if (failed++ == 0)
      std::printf("simulation: seed %ld (schedule %ld) %s", seed, seed - firstSeed + 1,
                  Report(outcome).c_str());
  }
  if (failed == 0)
    std::printf("simulation: %ld schedules, %zu events, all promises held\n", schedules, events);
  for (const auto& [promise, count] : byPromise)
    std::printf("simulation: %ld schedules broke: %s\n", count, promise.c_str());
  if (failed != 0) FAIL(failed << " of " << schedules << " schedules broke a promise");
}

TEST_CASE("the simulated world: a seed or the same bytes give the same run, and it replays") {
  const auto same = [](const SimOutcome& a, const SimOutcome& b) {
    REQUIRE(a.steps.size() == b.steps.size());
    for (size_t i = 0; i < a.steps.size(); ++i) {
      CHECK(a.steps[i].kind == b.steps[i].kind);
      CHECK(a.steps[i].arg == b.steps[i].arg);
      CHECK(a.steps[i].luck == b.steps[i].luck);
    }
    CHECK(a.events == b.events);
    CHECK(a.broken == b.broken);
  };
  for (uint64_t seed = 1; seed <= 200; ++seed) {
    CAPTURE(seed);
    SeededChoices first(seed), second(seed);
    const SimOutcome run = RunChoices(first, 120);
    same(run, RunChoices(second, 120));
    // Replaying what ran is the run: shrinking and reports rely on it.
    same(run, Replay(run.steps));
  }
  const uint8_t bytes[] = {40, 6, 0, 9, 12, 0, 1, 8, 200, 3, 77, 0, 0, 5, 250, 13, 2, 2};
  ByteChoices first(bytes, sizeof bytes), second(bytes, sizeof bytes);
  const SimOutcome run = RunChoices(first, 200);
  CHECK_FALSE(run.steps.empty());
  same(run, RunChoices(second, 200));
  ByteChoices none(nullptr, 0);
  CHECK(RunChoices(none, 200).steps.empty());
}

TEST_CASE("the simulated world: a schedule that holds is not shrunk") {
  SeededChoices choices(7);
  const SimOutcome run = RunChoices(choices, 120);
  REQUIRE(run.broken.empty());
  CHECK(Shrink(run.steps).size() == run.steps.size());
}
