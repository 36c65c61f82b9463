// Little-endian numbers in a byte buffer. Skin files are little-endian
// whatever the host, and their fields sit at odd offsets, so the numbers
// are put together byte by byte. No windows.h: used natively as well.
#ifndef TKP_SKIN_LEBYTES_H
#define TKP_SKIN_LEBYTES_H

#include <stdint.h>

inline uint16_t ReadLe16(const unsigned char *p)
{
    return (uint16_t)(p[0] | (p[1] << 8));
}

inline uint32_t ReadLe32(const unsigned char *p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

inline int32_t ReadLeI32(const unsigned char *p)
{
    uint32_t u = ReadLe32(p);
    // Two's complement without relying on an out-of-range conversion.
    return u <= 0x7FFFFFFFu ? (int32_t)u : (int32_t)(u - 0x80000000u) - 0x7FFFFFFF - 1;
}

inline void WriteLe16(unsigned char *p, uint16_t value)
{
    p[0] = (unsigned char)value;
    p[1] = (unsigned char)(value >> 8);
}

inline void WriteLe32(unsigned char *p, int32_t value)
{
    uint32_t bits = (uint32_t)value;
    for (int i = 0; i < 4; i++)
        p[i] = (unsigned char)(bits >> (8 * i));
}

#endif
