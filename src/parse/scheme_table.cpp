#include "parse/scheme_table.h"

const SchemeColors SchemeTable[kSchemeCount] = {
    {0x00FFFFFF, 0x00B40000},  // 1 white on dark blue
    {0x0000FF00, 0x00000000},  // 2 green on black
    {0x00FFFFFF, 0x00000000},  // 3 white on black
    {0x0000FFFF, 0x000A0ACD},  // 4 yellow on red
    {0x00000000, 0x00B4B4B4},  // 5 black on grey
    {0x00000000, 0x00FFFFFF},  // 6 black on white
    {0x0000FFFF, 0x00000000},  // 7 yellow on black
    {0x00000000, 0x00A8FFFF},  // 8 black on pale yellow
    {0x0000FFFF, 0x00AF0A0A},  // 9 yellow on dark blue
};
