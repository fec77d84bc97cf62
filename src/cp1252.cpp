// Windows-1252 to Unicode and UTF-8.
#include "cp1252.h"

// Windows-1252 bytes 0x80 to 0x9f as Unicode (0 where the code page has no character).
static const uint16_t CP1252_HIGH[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

uint32_t cp1252_to_unicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xa0) return CP1252_HIGH[byte - 0x80];
    if (byte == 0x7f) return 0;
    return byte;
}

std::string cp1252_to_utf8(const std::string &text) {
    std::string out;
    for (unsigned char byte : text) {
        uint32_t c = cp1252_to_unicode(byte);
        if (byte < 0x80) {
            out += (char)byte;
        } else if (c == 0) {
            out += '?';
        } else if (c < 0x800) {
            out += (char)(0xc0 | c >> 6);
            out += (char)(0x80 | (c & 0x3f));
        } else {
            out += (char)(0xe0 | c >> 12);
            out += (char)(0x80 | (c >> 6 & 0x3f));
            out += (char)(0x80 | (c & 0x3f));
        }
    }
    return out;
}
