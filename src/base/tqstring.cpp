#include "base/tqstring.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <new>

#include "base/tqencryptdata.h"
#include "base/tqlog.h"
#include "platform/codepage/tqcodepage.h"

namespace {

const char kSourcePath[] = "lib/project/tqlib/source/base/tqstring";
const char kHexDigits[] = "0123456789ABCDEF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

char ToUpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Bytes of the character at text[pos] (1 or 2).
size_t CharLength(const char* text, size_t pos, size_t length) {
    return tqplat::GbkCharLength(reinterpret_cast<const unsigned char*>(text) + pos, length - pos);
}

// Walks a text byte by byte, telling which bytes are single-byte characters (the only ones a
// case-insensitive comparison folds).
class CharWalker {
public:
    CharWalker(const char* text, size_t length) : m_text(text), m_length(length) {}
    // Byte i (called for i = 0, 1, 2, ...), upper-cased when asked and it is a character of its own.
    unsigned char ByteAt(size_t i, bool fold) {
        bool single = false;
        if (i >= m_trailEnd) {
            size_t length = CharLength(m_text, i, m_length);
            single = length == 1;
            m_trailEnd = i + length;
        }
        return static_cast<unsigned char>(fold && single ? ToUpperAscii(m_text[i]) : m_text[i]);
    }

private:
    const char* m_text;
    size_t m_length;
    size_t m_trailEnd = 0;
};

int CompareBytes(const char* a, size_t aLength, const char* b, size_t bLength, bool ignoreCase) {
    CharWalker aWalker(a, aLength);
    CharWalker bWalker(b, bLength);
    size_t common = aLength < bLength ? aLength : bLength;
    for (size_t i = 0; i < common; ++i) {
        unsigned char x = aWalker.ByteAt(i, ignoreCase);
        unsigned char y = bWalker.ByteAt(i, ignoreCase);
        if (x != y)
            return x < y ? -1 : 1;
    }
    return static_cast<int>(aLength > bLength) - static_cast<int>(aLength < bLength);
}

// [first, last) of the text without blanks at either end.
void TrimmedRange(const char* text, size_t length, size_t& first, size_t& last) {
    first = 0;
    last = length;
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
}

// Unsigned number in the given base filling [first, last) exactly.
bool ParseUnsigned(const char* first, const char* last, int base, unsigned long long& value) {
    if (first == last)
        return false;
    auto result = std::from_chars(first, last, value, base);
    return result.ec == std::errc() && result.ptr == last;
}

bool HasHexPrefix(const char* first, const char* last) {
    return last - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X');
}

// Signed decimal, or hex after "0x", with an optional sign.
bool ParseNumber(const char* first, const char* last, LONGLONG& value) {
    bool negative = first != last && *first == '-';
    if (first != last && (*first == '-' || *first == '+'))
        ++first;
    unsigned long long magnitude = 0;
    if (HasHexPrefix(first, last)) {
        if (!ParseUnsigned(first + 2, last, 16, magnitude))
            return false;
        value = static_cast<LONGLONG>(negative ? 0 - magnitude : magnitude);
        return true;
    }
    if (!ParseUnsigned(first, last, 10, magnitude))
        return false;
    const unsigned long long limit = negative ? 9223372036854775808ULL : 9223372036854775807ULL;
    if (magnitude > limit)
        return false;
    value = negative ? static_cast<LONGLONG>(0 - magnitude) : static_cast<LONGLONG>(magnitude);
    return true;
}

bool ParseHex(const char* first, const char* last, LONGLONG& value) {
    if (HasHexPrefix(first, last))
        first += 2;
    unsigned long long bits = 0;
    if (!ParseUnsigned(first, last, 16, bits))
        return false;
    value = static_cast<LONGLONG>(bits);
    return true;
}

LONGLONG ReportNumber(bool parsed, LONGLONG value, BOOL* valid) {
    if (valid)
        *valid = parsed ? TRUE : FALSE;
    return parsed ? value : 0;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool DecodeHexByte(const char* text, unsigned char& byte) {
    int high = HexDigitValue(text[0]);
    int low = HexDigitValue(text[1]);
    if (high < 0 || low < 0)
        return false;
    byte = static_cast<unsigned char>(high * 16 + low);
    return true;
}

void AppendHexByte(std::string& out, unsigned char byte) {
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 15];
}

// The given key, or the string table when key is NULL; NULL when there is none.
const unsigned char* ResolveKey(const void* key, DWORD& keyLength) {
    if (key)
        return keyLength ? static_cast<const unsigned char*>(key) : nullptr;
    return TQGetStringEncryptData(&keyLength);
}

const unsigned char kCheckMask = 0xA5;

bool DecodeText(const std::string& encoded, const unsigned char* key, DWORD keyLength, std::string& plain) {
    if (encoded.size() < 2 || encoded.size() % 2 != 0)
        return false;
    size_t count = encoded.size() / 2 - 1;
    unsigned char sum = 0;
    for (size_t i = 0; i < count; ++i) {
        unsigned char byte = 0;
        if (!DecodeHexByte(&encoded[i * 2], byte))
            return false;
        byte ^= key[i % keyLength];
        if (byte == 0)
            return false;
        plain += static_cast<char>(byte);
        sum = static_cast<unsigned char>(sum + byte);
    }
    unsigned char check = 0;
    return DecodeHexByte(&encoded[count * 2], check) && check == (sum ^ kCheckMask);
}

} // namespace

TQString::TQString(const char* text) : m_buffer(text ? text : "") {}

TQString& TQString::operator=(const char* text) {
    m_buffer.assign(text ? text : "");
    return *this;
}

size_t TQString::TextLength() const {
    return std::strlen(m_buffer.c_str());
}

DWORD TQString::GetLength() const {
    return static_cast<DWORD>(TextLength());
}

char TQString::GetAt(DWORD index) const {
    return index < m_buffer.size() ? m_buffer[index] : '\0';
}

void TQString::SetAt(DWORD index, char c) {
    if (index < m_buffer.size())
        m_buffer[index] = c;
}

void TQString::SetString(const char* text, DWORD length, int flag) {
    size_t count = text ? strnlen(text, length) : 0;
    if (flag == 0) {
        m_buffer.assign(text ? text : "", count);
        return;
    }
    if (count > m_buffer.size())
        count = m_buffer.size();
    std::memcpy(&m_buffer[0], text ? text : "", count);
    std::memset(&m_buffer[0] + count, 0, m_buffer.size() - count);
}

BOOL TQString::SetBuffer(DWORD length) {
    try {
        m_buffer.resize(length, '\0');
        return TRUE;
    } catch (const std::exception&) {
        return FALSE;
    }
}

int TQString::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int length = FormatV(format, args);
    va_end(args);
    return length;
}

int TQString::FormatV(const char* format, va_list args) {
    m_buffer.clear();
    if (!format)
        return -1;
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length <= 0)
        return length < 0 ? -1 : 0;
    try {
        m_buffer.resize(static_cast<size_t>(length));
    } catch (const std::exception&) {
        return -1;
    }
    // vsnprintf writes the terminating zero into the string's own terminator slot.
    std::vsnprintf(&m_buffer[0], m_buffer.size() + 1, format, args);
    return length;
}

int TQString::Compare(const char* text, int flag) const {
    const char* other = text ? text : "";
    return CompareBytes(m_buffer.c_str(), TextLength(), other, std::strlen(other), flag != 0);
}

void TQString::Trim() {
    size_t first = 0;
    size_t last = 0;
    TrimmedRange(m_buffer.c_str(), TextLength(), first, last);
    m_buffer = m_buffer.substr(first, last - first);
}

void TQString::MakeTrimUpper() {
    Trim();
    for (size_t i = 0; i < m_buffer.size(); i += CharLength(m_buffer.data(), i, m_buffer.size()))
        m_buffer[i] = ToUpperAscii(m_buffer[i]);
}

void TQString::StrReplace(char from, char to) {
    size_t length = TextLength();
    for (size_t i = 0; i < length; i += CharLength(m_buffer.data(), i, length)) {
        if (m_buffer[i] == from && CharLength(m_buffer.data(), i, length) == 1)
            m_buffer[i] = to;
    }
}

int TQString::StrReplace(const char* from, const char* to, int flag) {
    if (!from || !*from)
        return 0;
    const size_t fromLength = std::strlen(from);
    const size_t length = TextLength();
    std::string result;
    int count = 0;
    size_t i = 0;
    while (i < length) {
        bool replace = (count == 0 || flag == 0) && length - i >= fromLength &&
                       std::memcmp(m_buffer.data() + i, from, fromLength) == 0;
        if (replace) {
            result += to ? to : "";
            i += fromLength;
            ++count;
            continue;
        }
        size_t step = CharLength(m_buffer.data(), i, length);
        result.append(m_buffer, i, step);
        i += step;
    }
    if (count)
        m_buffer = std::move(result);
    return count;
}

int TQString::StrFind(const char* text, int start) const {
    if (!text || !*text || start < 0)
        return -1;
    const size_t textLength = std::strlen(text);
    const size_t length = TextLength();
    for (size_t i = 0; i < length; i += CharLength(m_buffer.data(), i, length)) {
        if (i >= static_cast<size_t>(start) && length - i >= textLength &&
            std::memcmp(m_buffer.data() + i, text, textLength) == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int TQString::StrFind(char c, int start, int flag) const {
    size_t found = FindChar(c, start < 0 ? 0 : static_cast<size_t>(start), flag != 0);
    return found == std::string::npos ? -1 : static_cast<int>(found);
}

// First (or last) single-byte character c at a character boundary at or after start.
size_t TQString::FindChar(char c, size_t start, bool last) const {
    const size_t length = TextLength();
    size_t found = std::string::npos;
    for (size_t i = 0; i < length; i += CharLength(m_buffer.data(), i, length)) {
        if (i < start || m_buffer[i] != c || CharLength(m_buffer.data(), i, length) != 1)
            continue;
        found = i;
        if (!last)
            break;
    }
    return found;
}

BOOL TQString::FileLoad(const char* path) {
    if (!path || !*path)
        return FALSE;
    FILE* file = std::fopen(tqplat::GbkToUtf8(path).c_str(), "rb");
    std::string content;
    bool ok = file != nullptr;
    try {
        char chunk[65536];
        size_t got = 0;
        while (ok && (got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            content.append(chunk, got);
        ok = ok && !std::ferror(file);
    } catch (const std::exception&) {
        ok = false;
    }
    if (file)
        std::fclose(file);
    if (!ok) {
        g_tqLogDebug.SetLogInfo(kSourcePath, "TQString::FileLoad", __LINE__);
        g_tqLogDebug.Log(TQLOG_ERROR_PREFIX "File load fail. [lpszFileName='%s']", path);
        return FALSE;
    }
    m_buffer = std::move(content);
    return TRUE;
}

BOOL TQString::DeCodeString(const void* key, DWORD keyLength) {
    const unsigned char* keyBytes = ResolveKey(key, keyLength);
    std::string plain;
    bool decoded = keyBytes && DecodeText(m_buffer.substr(0, TextLength()), keyBytes, keyLength, plain);
    m_buffer = decoded ? std::move(plain) : std::string();
    return decoded ? TRUE : FALSE;
}

BOOL TQString::EnCodeString(const void* key, DWORD keyLength) {
    const unsigned char* keyBytes = ResolveKey(key, keyLength);
    if (!keyBytes)
        return FALSE;
    const size_t length = TextLength();
    std::string encoded;
    unsigned char sum = 0;
    for (size_t i = 0; i < length; ++i) {
        unsigned char byte = static_cast<unsigned char>(m_buffer[i]);
        AppendHexByte(encoded, byte ^ keyBytes[i % keyLength]);
        sum = static_cast<unsigned char>(sum + byte);
    }
    AppendHexByte(encoded, sum ^ kCheckMask);
    m_buffer = std::move(encoded);
    return TRUE;
}

LONGLONG TQString::GetValue(BOOL* valid) const {
    return ParseTrimmed(ParseNumber, valid);
}

LONGLONG TQString::GetHexValue(BOOL* valid) const {
    return ParseTrimmed(ParseHex, valid);
}

// The text without surrounding blanks read by `parse` and reported as GetValue does.
LONGLONG TQString::ParseTrimmed(bool (*parse)(const char* first, const char* last, LONGLONG& value),
                                BOOL* valid) const {
    size_t first = 0;
    size_t last = 0;
    TrimmedRange(m_buffer.c_str(), TextLength(), first, last);
    LONGLONG value = 0;
    bool parsed = parse(m_buffer.data() + first, m_buffer.data() + last, value);
    return ReportNumber(parsed, value, valid);
}
