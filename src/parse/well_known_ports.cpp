#include "parse/well_known_ports.h"

#include <cstring>

const WellKnownPort WellKnownPorts[kWellKnownPortCount] = {
    {"7", "Echo"},    {"13", "Daytime"},     {"17", "Qotd"},         {"21", "FTP"},
    {"23", "Telnet"}, {"25", "SMTP"},        {"37", "Time"},         {"43", "Who Is"},
    {"70", "Gopher"}, {"79", "Finger"},      {"80", "HTTP"},         {"110", "POP3"},
    {"115", "SFTP"},  {"137", "NETBIOS-NS"}, {"138", "NETBIOS-DGM"}, {"139", "NETBIOS-SSN"},
    {"194", "IRC"},   {"213", "IPX"},        {"1080", "Socks"},      {"6667", "IRC"},
};

const char* ServiceNameForPort(const char* portText) {
  for (const WellKnownPort& entry : WellKnownPorts)
    if (std::strcmp(entry.port, portText) == 0) return entry.service;
  return nullptr;
}
