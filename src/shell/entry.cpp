// Process entry: skip the program name, then hand over to WinMain.
#include "rules/program_name.h"
#include "shell/program_start.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR tail, int showState);

int main() {
  char* tail = const_cast<char*>(SkipProgramName(GetCommandLineA()));
  return WinMain(GetModuleHandleA(nullptr), nullptr, tail, StartupShowState());
}
