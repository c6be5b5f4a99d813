// Small pure rules: service names, counts, a connect's outcome.
#include <doctest.h>

#include <cstdint>
#include <limits>
#include <string>

#include "core/connect_rules.h"
#include "core/session_core.h"
#include "parse/leading_number.h"
#include "parse/well_known_ports.h"
#include "text/counts.h"

TEST_CASE("a port's service is found by its exact text") {
  struct Row {
    const char* port;
    const char* service;  // null: none
  };
  const Row rows[] = {
      {"7", "Echo"},
      {"80", "HTTP"},
      {"194", "IRC"},
      {"6667", "IRC"},
      {"1080", "Socks"},
      // Text, not numbers: leading zeros, blanks and near misses find nothing.
      {"080", nullptr},
      {"8", nullptr},
      {"", nullptr},
      {" 80", nullptr},
      {"800", nullptr},
  };
  for (const Row& row : rows) {
    CAPTURE(row.port);
    const char* found = ServiceNameForPort(row.port);
    CHECK(std::string(found ? found : "(none)") == (row.service ? row.service : "(none)"));
  }
}

TEST_CASE("counts are written in full, beyond 32 bits too") {
  struct Row {
    int64_t count;
    const char* text;
  };
  const Row rows[] = {
      {0, "0"},
      {7, "7"},
      {-1, "-1"},
      {2147483647, "2147483647"},
      {2147483648LL, "2147483648"},  // where a 32-bit %d would turn negative
      {4294967296LL, "4294967296"},  // where it would show 0
      {std::numeric_limits<int64_t>::max(), "9223372036854775807"},
      {std::numeric_limits<int64_t>::min(), "-9223372036854775808"},
  };
  for (const Row& row : rows) {
    CAPTURE(row.text);
    char text[kCountTextSize];
    CHECK(std::string(FormatCount(row.count, text)) == row.text);
  }
}

TEST_CASE("a connect call's result decides before its error code") {
  struct Row {
    int result;
    int code;
    bool tcp;
    ConnectOutcome outcome;
  };
  const Row rows[] = {
      {-1, kWouldBlock, true, ConnectOutcome::Pending},
      // A call that succeeds leaves whatever code an earlier call left behind.
      {0, 0, true, ConnectOutcome::Established},
      {0, kWouldBlock, true, ConnectOutcome::Established},
      {0, kRefused, true, ConnectOutcome::Established},
      {0, 0, false, ConnectOutcome::UdpReady},
      {0, kWouldBlock, false, ConnectOutcome::UdpReady},
      {-1, kRefused, true, ConnectOutcome::Failed},
      {-1, 10049 /* address not available */, false, ConnectOutcome::Failed},
      {-1, 0, true, ConnectOutcome::Failed},
  };
  for (const Row& row : rows) {
    CAPTURE(row.result);
    CAPTURE(row.code);
    CAPTURE(row.tcp);
    CHECK(DecideConnectOutcome(row.result, row.code, row.tcp) == row.outcome);
  }
}

TEST_CASE("a leading number is read as atoi reads it, and saturates beyond the int range") {
  struct Row {
    const char* text;
    int number;
  };
  const Row rows[] = {
      {"", 0},
      {"12", 12},
      {"  -7x", -7},
      {"+5", 5},
      {"\t\n\v\f\r 3", 3},
      {"x5", 0},
      {"-", 0},
      {"0x10", 0},
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"-2147483649", -2147483647 - 1},
      {"99999999999999999999999", 2147483647},
  };
  for (const Row& row : rows) {
    CAPTURE(row.text);
    CHECK(LeadingNumber(row.text) == row.number);
  }
}
