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
