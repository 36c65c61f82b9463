// The date tooltip over the clock.
#ifndef TKP_CLOCKWIN_TOOLTIP_H
#define TKP_CLOCKWIN_TOOLTIP_H

#include <windows.h>

void CreateDateTooltip(HWND clock);
void RelayToTooltip(HWND clock, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT OnClockNotify(HWND clock, LPARAM lParam);
enum { DATE_TIP_SIZE = 256 };
// text: at least DATE_TIP_SIZE bytes, written in Shift-JIS.
int FormatDateTip(char *text, const SYSTEMTIME *now);

#endif
