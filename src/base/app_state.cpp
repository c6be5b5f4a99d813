#include "base/app_state.h"

AppState app;
