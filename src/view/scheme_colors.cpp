#include "view/scheme_colors.h"

#include "parse/scheme_table.h"

namespace {
const SchemeColors& CurrentScheme() { return SchemeTable[app.choices.schemeIndex]; }
}  // namespace

void CreateSchemeBrush() {
  app.controls.backgroundBrush = CreateSolidBrush(CurrentScheme().background);
}

void DeleteSchemeBrush() {
  DeleteObject(app.controls.backgroundBrush);
  app.controls.backgroundBrush = nullptr;
}

void ApplyScheme(int index) {
  if (index < 0 || index >= kSchemeCount) return;
  app.choices.schemeIndex = index;
  DeleteSchemeBrush();
  CreateSchemeBrush();
  // Erase too, so the part of the pane below the last line changes with the text.
  InvalidateRect(app.controls.outputPane, nullptr, TRUE);
}

HBRUSH OnOutputPaneColors(HDC dc) {
  SetTextColor(dc, CurrentScheme().text);
  SetBkColor(dc, CurrentScheme().background);
  return app.controls.backgroundBrush;
}
