// The date tooltip over the clock.
#ifndef TKP_CLOCKWIN_TOOLTIP_H
#define TKP_CLOCKWIN_TOOLTIP_H

#include <windows.h>

void CreateDateTooltip(HWND clock);
void RelayToTooltip(HWND clock, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnClockNotify(HWND clock, LPARAM lParam);
// text: at least 256 bytes.
int FormatDateTip(char *text, const SYSTEMTIME *now);

#endif
