#include "gradient.h"

int CaptionButtonArea(const CaptionButtons *buttons, int buttonWidth)
{
    if (!buttons->hasSystemMenuCaption)
        return 0;
    int area = buttonWidth; // the close button
    if (buttons->hasMaximiseOrHelp)
        area += buttonWidth;
    if (buttons->hasMinimise)
        area += buttonWidth - 2; // it stands 2 pixels closer to its neighbour
    return area + 2;
}

// channel - f^2 * channel / width^2, in 64 bits: f^2 * 255 overflows an int
// for captions a few thousand pixels wide.
static uint32_t Darken(uint32_t channel, int64_t f, int64_t width)
{
    return (uint32_t)((int64_t)channel - f * f * (int64_t)channel / (width * width));
}

int ComputeCaptionFills(int cx, int buttonArea, uint32_t baseColour, CaptionFill *fills)
{
    uint32_t red = baseColour & 0xFF, green = (baseColour >> 8) & 0xFF, blue = (baseColour >> 16) & 0xFF;
    int width = cx - buttonArea;
    int step = width / 64;
    if (step <= 1)
        step = 1;

    int count = 0;
    fills[count++] = CaptionFill{width, width + buttonArea, baseColour & 0xFFFFFF};
    int64_t f = 0;
    int g = width;
    while (g > step) {
        f += step;
        g -= step;
        uint32_t colour = Darken(red, f, width) | Darken(green, f, width) << 8 | Darken(blue, f, width) << 16;
        fills[count++] = CaptionFill{g, g + step, colour};
    }
    fills[count++] = CaptionFill{0, g, GRADIENT_REMAINDER_COLOUR};
    return count;
}

int CaptionPainterOffFor(uint32_t version)
{
    uint32_t major = version & 0xFF, minor = (version >> 8) & 0xFF;
    return major >= 4 && minor >= 10;
}
