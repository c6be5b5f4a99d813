// The benchmarks telvane_bench.exe runs, one per process (see telvane_bench.cpp).
#pragma once

#include "base/app_state.h"

struct BenchOptions {
  TransferMode mode = TransferMode::Ascii;
  bool baseline = false;  // the same window, its reads thrown away
  bool probes = false;    // a further flood with key and timer probes
  int megabytes = 0;      // 0: the benchmark's own size
  int floods = 3;
  double seconds = 5;
  const char* theme = "off";  // only named in the figures
  int port = 0;               // udp: the peer's (scripts/udp_peer.py)
  int datagrams = 0;          // udp: how many it sends
  int pace = 0;               // udp: datagrams per second, 0 as fast as it can
};

// Rate at which a flood reaches the transcript (or, as the baseline, is read).
int RunReceiveRate(const BenchOptions& options);
// A burst that ends with the peer closing: until its close line is shown.
int RunClosingBurst(const BenchOptions& options);
// Lines sent to a peer that reads nothing, for a while.
int RunStalledSend(const BenchOptions& options);
// A stream of datagrams from a native peer: how many of them the window takes.
int RunUdpStream(const BenchOptions& options);
