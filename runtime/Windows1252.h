#pragma once
// Texts that leave the program as bytes (files, the measured table) are
// Windows-1252: one byte a character, "é" is 0xE9. Inside the program text
// is UTF-8.
#include <string>
#include <string_view>

// Characters that Windows-1252 cannot represent become '?'.
std::string Utf8ToWindows1252(std::string_view utf8);
// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D, undefined in the code page, map to
// the C1 control of the same value.
std::string Windows1252ToUtf8(std::string_view bytes);
