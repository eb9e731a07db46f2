// Conversion between the engine's text (code page 936, GBK bytes) and UTF-8, used only at the
// edges: file names, the window title, typed text and composition, glyph drawing and log output.
#pragma once

#include <string>

namespace tqplat {

// GBK bytes to UTF-8. An invalid sequence, or a lone lead byte at the end, becomes "?".
std::string GbkToUtf8(const char* gbk, size_t length);
std::string GbkToUtf8(const std::string& gbk);

// UTF-8 to GBK bytes. A character GBK cannot hold, or an invalid UTF-8 sequence, becomes "?".
std::string Utf8ToGbk(const char* utf8, size_t length);
std::string Utf8ToGbk(const std::string& utf8);

// Number of bytes of the GBK character starting at text[0] (1 or 2), given the bytes left.
// A lead byte with no valid trail byte after it counts as 1.
size_t GbkCharLength(const unsigned char* text, size_t left);

// Length of the longest prefix of the `length` bytes of text that holds at most `limit` bytes and
// ends on a character boundary (never between the two bytes of a double-byte character).
size_t GbkWholeCharsPrefix(const char* text, size_t length, size_t limit);

} // namespace tqplat
