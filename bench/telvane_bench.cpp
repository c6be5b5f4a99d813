// In-process benchmarks of the real main window (CreateMainWindow, real controls,
// real loopback sockets). One benchmark per process, so that each one's peak memory
// is its own; scripts/bench.sh runs them all and compares. Each prints one line
// "@ name key=value ...".
//
//   telvane_bench.exe rate ascii|advanced|binary [--baseline] [--probes] [--mb N]
//                     [--floods N] [--theme NAME]
//   telvane_bench.exe burst [--mb N]
//   telvane_bench.exe stalled-send [--seconds S]
//   telvane_bench.exe udp ascii|binary --port P --datagrams N [--pace R] [--baseline]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "benchmarks.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: telvane_bench rate ascii|advanced|binary [--baseline] [--probes] "
               "[--mb N] [--floods N] [--theme NAME]\n"
               "       telvane_bench burst [--mb N]\n"
               "       telvane_bench stalled-send [--seconds S]\n"
               "       telvane_bench udp ascii|binary --port P --datagrams N [--pace R] "
               "[--baseline]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string benchmark = argv[1];
  BenchOptions options;
  for (int i = 2; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "ascii")
      options.mode = TransferMode::Ascii;
    else if (arg == "advanced")
      options.mode = TransferMode::Advanced;
    else if (arg == "binary")
      options.mode = TransferMode::Binary;
    else if (arg == "--baseline")
      options.baseline = true;
    else if (arg == "--probes")
      options.probes = true;
    else if (arg == "--mb" && hasValue)
      options.megabytes = std::atoi(argv[++i]);
    else if (arg == "--floods" && hasValue)
      options.floods = std::atoi(argv[++i]);
    else if (arg == "--seconds" && hasValue)
      options.seconds = std::atof(argv[++i]);
    else if (arg == "--theme" && hasValue)
      options.theme = argv[++i];
    else if (arg == "--port" && hasValue)
      options.port = std::atoi(argv[++i]);
    else if (arg == "--datagrams" && hasValue)
      options.datagrams = std::atoi(argv[++i]);
    else if (arg == "--pace" && hasValue)
      options.pace = std::atoi(argv[++i]);
    else
      return Usage();
  }

  WSADATA winsock;  // for the peers; the window starts Winsock for itself
  if (WSAStartup(0x0202, &winsock) != 0) return 1;
  int result = 2;
  if (benchmark == "rate")
    result = RunReceiveRate(options);
  else if (benchmark == "burst")
    result = RunClosingBurst(options);
  else if (benchmark == "stalled-send")
    result = RunStalledSend(options);
  else if (benchmark == "udp")
    result = RunUdpStream(options);
  else
    Usage();
  WSACleanup();
  return result;
}
