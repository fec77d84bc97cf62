// The game's texts are Windows-1252 bytes (what Allegro and its font show); a terminal
// wants them as UTF-8.
#pragma once

#include <cstdint>
#include <string>

// The Unicode character of a Windows-1252 byte (0 for the five bytes the code page leaves
// undefined, and for DEL).
uint32_t cp1252_to_unicode(unsigned char byte);

// A Windows-1252 text as UTF-8.
std::string cp1252_to_utf8(const std::string &text);
