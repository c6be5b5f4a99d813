#include "commands/input_fields.h"

void SubclassControls() {}
void OnStatusBarClick(int) {}
