// The arithmetic of the dialogs' gradient captions, without any drawing:
// which fills make up a caption picture, and on which Windows versions the
// painter stays off. No windows.h: tested natively.
#ifndef TKP_DIALOGS_GRADIENT_H
#define TKP_DIALOGS_GRADIENT_H

#include <stdint.h>

// What of the caption buttons a window's style asks for.
struct CaptionButtons {
    int hasSystemMenuCaption; // WS_SYSMENU and a caption (WS_BORDER or WS_DLGFRAME)
    int hasMaximiseOrHelp;    // WS_MAXIMIZEBOX, or WS_EX_CONTEXTHELP
    int hasMinimise;          // WS_MINIMIZEBOX
};

// Width of the area behind the caption buttons, for buttons buttonWidth
// (SM_CXSIZE) wide; 0 without a system-menu caption.
int CaptionButtonArea(const CaptionButtons *buttons, int buttonWidth);

// One solid fill of the caption picture: columns left..right-1, full height.
struct CaptionFill {
    int left, right;
    uint32_t colour; // 0x00BBGGRR, as a COLORREF
};

enum {
    GRADIENT_REMAINDER_COLOUR = 0x000004, // RGB(4, 0, 0)
    // Behind the buttons, the strips, the remainder: at most 128 strips for
    // any width (1-pixel strips below 128 pixels, 64 to 96 strips above).
    GRADIENT_MAX_FILLS = 130
};

// The fills of a caption cx pixels wide with buttonArea pixels of buttons,
// in the order they are painted: the area behind the buttons in the base
// colour, the strips from right to left darkening with the square of their
// distance from the right end, and the remainder at the left edge. Returns
// the number of fills written (at most GRADIENT_MAX_FILLS).
int ComputeCaptionFills(int cx, int buttonArea, uint32_t baseColour, CaptionFill *fills);

// 1 when the caption painter stays off on this GetVersion value: Windows
// 98 and Me (4.10, 4.90) draw gradient captions of their own. The two bytes
// are compared one by one, as the first edition of the clock did.
int CaptionPainterOffFor(uint32_t version);

#endif
