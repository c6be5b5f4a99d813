// Placeholder writer; replaced by the full transcript rules.
#include "codec/output_pane.h"

#include "app/app_state.h"

const char* BannerText() { return ""; }

void AppendOutput(const char* text, int length) {
  if (length == 0) length = lstrlenA(text);
  (void)length;
  SendMessageA(app.outputPane, EM_SETSEL, -2, -2);
  SendMessageA(app.outputPane, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text));
  app.helpArmed = 1;
  app.statsArmed = 1;
}

void ResetTranscript() {
  SetWindowTextA(app.outputPane, BannerText());
  app.helpArmed = 1;
  app.statsArmed = 1;
}
