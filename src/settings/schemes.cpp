#include "settings/schemes.h"

void CreateSchemeBrush() { app.backgroundBrush = CreateSolidBrush(0x00B40000); }
void DeleteSchemeBrush() { DeleteObject(app.backgroundBrush); }
void ApplyScheme(int) {}
HBRUSH OnOutputPaneColors(HDC dc) {
  SetTextColor(dc, 0x00FFFFFF);
  SetBkColor(dc, 0x00B40000);
  return app.backgroundBrush;
}
