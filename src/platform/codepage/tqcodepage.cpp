#include "platform/codepage/tqcodepage.h"

#include <iconv.h>

#include <cerrno>

namespace tqplat {
namespace {

// Converts with iconv; on an invalid or unconvertible sequence writes "?" and skips one unit of
// the source (one character as the source encoding measures it).
std::string Convert(const char* to, const char* from, const char* text, size_t length,
                    size_t (*unitLength)(const unsigned char*, size_t)) {
    std::string out;
    if (text == nullptr || length == 0)
        return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        return std::string(text, length);
    out.reserve(length * 2);
    char* in = const_cast<char*>(text);
    size_t inLeft = length;
    char buffer[256];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof(buffer);
        size_t r = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (r == (size_t)-1 && errno != E2BIG) {
            size_t skip = unitLength(reinterpret_cast<const unsigned char*>(in), inLeft);
            in += skip;
            inLeft -= skip;
            out.push_back('?');
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

size_t Utf8CharLength(const unsigned char* text, size_t left) {
    size_t n = 1;
    if (text[0] >= 0xF0)
        n = 4;
    else if (text[0] >= 0xE0)
        n = 3;
    else if (text[0] >= 0xC0)
        n = 2;
    size_t i = 1;
    while (i < n && i < left && (text[i] & 0xC0) == 0x80)
        ++i;
    return i;
}

} // namespace

size_t GbkCharLength(const unsigned char* text, size_t left) {
    if (left >= 2 && text[0] >= 0x81 && text[0] <= 0xFE && text[1] >= 0x40 && text[1] <= 0xFE &&
        text[1] != 0x7F)
        return 2;
    return 1;
}

size_t GbkWholeCharsPrefix(const char* text, size_t length, size_t limit) {
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text);
    size_t end = 0;
    while (end < length) {
        size_t next = end + GbkCharLength(bytes + end, length - end);
        if (next > limit)
            break;
        end = next;
    }
    return end;
}

std::string GbkToUtf8(const char* gbk, size_t length) {
    return Convert("UTF-8", "GBK", gbk, length, GbkCharLength);
}

std::string GbkToUtf8(const std::string& gbk) {
    return GbkToUtf8(gbk.data(), gbk.size());
}

std::string Utf8ToGbk(const char* utf8, size_t length) {
    return Convert("GBK", "UTF-8", utf8, length, Utf8CharLength);
}

std::string Utf8ToGbk(const std::string& utf8) {
    return Utf8ToGbk(utf8.data(), utf8.size());
}

} // namespace tqplat
