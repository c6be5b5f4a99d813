// scratch profile counters (reverted)
#pragma once
#include <windows.h>
#include <cstdio>
enum ProfOp { kPReplaceSel, kPSetText, kPLineCount, kPLineScroll, kPCaret, kPLength, kPLimit, kPTake, kPDraw, kPPanePaint, kPNcPaint, kPOps };
struct ProfData { double ms[kPOps]; long long n[kPOps]; long long chars; long long drawChars;
  long long udpGapsAfterDraw, udpLostAfterDraw, udpGapsOther, udpLostOther, udpReads; long lastSeq; int drewSinceRead; int rcvbufDefault, rcvbufGranted; double lastReadEnd, worstIdleAfterDraw, worstIdleOther; };
inline ProfData prof;
inline double ProfNow() { LARGE_INTEGER f, c; QueryPerformanceFrequency(&f); QueryPerformanceCounter(&c); return 1000.0 * c.QuadPart / f.QuadPart; }
struct ProfScope { int op; double t0; explicit ProfScope(int o) : op(o), t0(ProfNow()) {} ~ProfScope() { prof.ms[op] += ProfNow() - t0; ++prof.n[op]; } };
inline void ProfMark(const char* what) {
  if (!getenv("TELVANE_STARTMARKS")) return;
  FILETIME c, e, k, u, now; GetProcessTimes(GetCurrentProcess(), &c, &e, &k, &u); GetSystemTimePreciseAsFileTime(&now);
  ULARGE_INTEGER a, b; a.LowPart = c.dwLowDateTime; a.HighPart = c.dwHighDateTime; b.LowPart = now.dwLowDateTime; b.HighPart = now.dwHighDateTime;
  std::fprintf(stderr, "mark %-24s %8.1f ms\n", what, (b.QuadPart - a.QuadPart) / 10000.0);
}
