// The settings file beside the executable.
#pragma once

void LoadSettings();
void RestoreWindowPlacement();
void SaveSettings();

// Tests point the settings at a folder of their own; null returns to the real path.
void SetExecutablePathForTesting(const char* path);
