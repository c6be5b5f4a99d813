// Schedules of the simulated session world, each choice taken from the input's bytes
// instead of a seeded generator: the fuzzer steers the user, the peer and the loop.
#include <cstdint>
#include <cstdio>

#include "fuzz_check.h"
#include "rules/simulation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteChoices choices(data, size);
  const SimOutcome outcome = RunChoices(choices, 200);
  if (!outcome.broken.empty()) std::fprintf(stderr, "%s", Report(outcome).c_str());
  FUZZ_CHECK(outcome.broken.empty());
  return 0;
}
