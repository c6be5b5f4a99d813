// A main for the fuzz targets where libFuzzer is not at hand (GCC): it feeds
// LLVMFuzzerTestOneInput a bounded number of inputs made by a generator with a fixed
// seed, so that a run is repeatable and a failure can be found again by its number.
// Inputs mix the bytes parsers care about (digits, hex letters, backslashes, spaces,
// CR, LF, NUL, high bytes) with random ones, and grow by mutating earlier inputs.
//   fuzz_X [--runs N] [--seed S]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

const char kInteresting[] = "0123456789abcdefxABCDEFX \\\r\n\t:-+.\"/=";

uint8_t Pick(std::mt19937& random) {
  switch (random() % 4) {
    case 0: return static_cast<uint8_t>(random());  // any byte
    case 1: return static_cast<uint8_t>(0x80 + random() % 0x80);
    default: return static_cast<uint8_t>(kInteresting[random() % (sizeof kInteresting - 1)]);
  }
}

std::string Fresh(std::mt19937& random) {
  std::string input(random() % 2 ? random() % 16 : random() % 600, '\0');
  for (char& c : input) c = static_cast<char>(Pick(random));
  return input;
}

std::string Mutated(std::string input, std::mt19937& random) {
  for (int edits = 1 + random() % 4; edits > 0; --edits) {
    const size_t at = input.empty() ? 0 : random() % (input.size() + 1);
    switch (random() % 4) {
      case 0: input.insert(at, 1, static_cast<char>(Pick(random))); break;
      case 1:
        if (at < input.size()) input.erase(at, 1 + random() % 8);
        break;
      case 2:
        if (at < input.size()) input[at] = static_cast<char>(Pick(random));
        break;
      default: input.insert(at, input.substr(0, random() % (input.size() + 1))); break;
    }
  }
  if (input.size() > 4096) input.resize(4096);
  return input;
}

}  // namespace

int main(int argc, char** argv) {
  long runs = 10000;
  unsigned seed = 20261207;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0) runs = std::atol(argv[i + 1]);
    if (std::strcmp(argv[i], "--seed") == 0) seed = static_cast<unsigned>(std::atol(argv[i + 1]));
  }
  std::mt19937 random(seed);
  std::vector<std::string> pool;
  for (long run = 0; run < runs; ++run) {
    const bool mutate = !pool.empty() && random() % 2;
    std::string input = mutate ? Mutated(pool[random() % pool.size()], random) : Fresh(random);
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
    if (pool.size() < 256)
      pool.push_back(std::move(input));
    else
      pool[random() % pool.size()] = std::move(input);
  }
  std::printf("%s: %ld inputs, seed %u, no fault\n", argv[0], runs, seed);
  return 0;
}
