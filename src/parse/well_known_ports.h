// Services the title and the status bar name for well-known ports.
#pragma once

struct WellKnownPort {
  const char* port;  // compared as text, so "080" is not "80"
  const char* service;
};

constexpr int kWellKnownPortCount = 20;
extern const WellKnownPort WellKnownPorts[kWellKnownPortCount];

// Service name of a port text ("80" -> "HTTP"), or null. Pure: no window calls.
const char* ServiceNameForPort(const char* portText);
