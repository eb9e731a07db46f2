/// @class TQString
/// Byte string of the engine's text (GBK bytes).
///
/// The string owns a buffer of GetBufferLength() bytes followed by a terminating zero that is always
/// present. The text is the buffer up to its first zero byte, so GetLength() may be smaller than the
/// buffer: SetBuffer(n) makes room for n bytes of text or binary data (zero-filled), and
/// GetBufferLength() then tells how many bytes the buffer holds (binary data, e.g. a file loaded
/// with FileLoad, may contain zero bytes). Every operation that replaces the text sizes the buffer
/// to the text.
///
/// Text operations are GBK-aware: a search or a replacement of a single-byte character never
/// matches the trail byte of a double-byte character, upper-casing touches ASCII letters only and
/// white space is ASCII blank, tab, CR, LF, VT and FF. Nothing depends on the C locale.
///
/// Positions are byte offsets from 0; a search result is negative when nothing is found.
#pragma once

#include <cstdarg>
#include <string>

#include "platform/win32/tqwintypes.h"

class TQString {
public:
    TQString() = default;
    /// NULL reads as the empty text.
    TQString(const char* text);
    /// Copy of the whole buffer.
    TQString(const TQString&) = default;
    /// Takes other's buffer.
    TQString(TQString&&) noexcept = default;
    /// Copies the whole buffer.
    TQString& operator=(const TQString&) = default;
    /// Takes other's buffer.
    TQString& operator=(TQString&&) noexcept = default;
    /// Replaces the text (NULL reads as empty).
    TQString& operator=(const char* text);

    /// The text, zero-terminated; valid until the string changes.
    const char* GetString() const { return m_buffer.c_str(); }
    /// Same as GetString().
    operator const char*() const { return m_buffer.c_str(); }

    /// Length of the text (bytes before the first zero).
    DWORD GetLength() const;
    /// Byte at index, 0 past the end of the buffer.
    char GetAt(DWORD index) const;
    /// Stores c at index inside the buffer (so writing at GetLength() appends while there is room);
    /// an index at or past GetBufferLength() is ignored.
    void SetAt(DWORD index, char c);

    /// Copies at most length bytes of text, stopping at a zero byte (never reads past it).
    /// flag 0 replaces the buffer by the text; any other flag copies the text into the present
    /// buffer, cut to its length, and keeps the buffer's size (the rest becomes zero).
    void SetString(const char* text, DWORD length, int flag);
    /// Resizes the buffer to length bytes, keeping the bytes that fit and zero-filling the rest.
    /// FALSE (string unchanged) when memory cannot be had.
    BOOL SetBuffer(DWORD length);
    /// Size of the buffer in bytes (not counting the terminating zero).
    DWORD GetBufferLength() const { return static_cast<DWORD>(m_buffer.size()); }
    /// Writable buffer of GetBufferLength() bytes (plus the terminating zero, which must stay).
    char* GetBuffer() { return &m_buffer[0]; }

    /// printf-style formatting of any length; returns the length, or -1 (empty text) for a NULL
    /// format or a formatting error.
    int Format(const char* format, ...) __attribute__((format(printf, 2, 3)));
    /// Format with a va_list.
    int FormatV(const char* format, va_list args);

    /// Sign of the comparison with text (NULL reads as empty): -1, 0 or 1.
    /// flag 0 compares bytes as unsigned values; any other flag (1) ignores the case of ASCII
    /// letters.
    int Compare(const char* text, int flag) const;
    /// Byte comparison with other (flag 0).
    int Compare(const TQString& other) const { return Compare(other.GetString(), 0); }

    /// In place: removes white space at both ends; MakeTrimUpper also upper-cases ASCII letters.
    void Trim();
    /// Trims, then upper-cases ASCII letters.
    void MakeTrimUpper();

    /// Replaces every character from by to (GBK trail bytes are left alone).
    void StrReplace(char from, char to);
    /// Replaces occurrences of from (not empty) by to: every one for flag 0, only the first for
    /// any other flag. Returns the number of replacements.
    int StrReplace(const char* from, const char* to, int flag);
    /// Position of the first occurrence of text at or after start, -1 when absent (also for a NULL
    /// or empty text, or a start past the end).
    int StrFind(const char* text, int start) const;
    /// Position of c at or after start: the first one for flag 0, the last one for any other flag (1).
    /// -1 when absent.
    int StrFind(char c, int start, int flag) const;

    /// Reads the whole file (path in GBK) into the buffer; nonzero on success, string unchanged
    /// on failure (logged on the debug logger).
    BOOL FileLoad(const char* path);

    /// Encoded text: two upper-case hex digits per byte, each byte the plain byte XOR the key byte
    /// key[i % keyLength], then two hex digits of a check byte (the sum of the plain bytes XOR
    /// 0xA5). key NULL uses the string table given to TQSetStringEncryptData.
    /// DeCodeString replaces the encoded text by its plain text. Text that is not encoded this way
    /// (wrong length, not hex, bad check byte, a plain zero byte) or a missing key leaves the
    /// string empty and returns FALSE.
    BOOL DeCodeString(const void* key, DWORD keyLength);
    /// The inverse: replaces the text by its encoded form; FALSE (unchanged) without a key.
    BOOL EnCodeString(const void* key, DWORD keyLength);

    /// Number written in the text, white space around it ignored: GetValue reads signed decimal
    /// or "0x"/"0X" hex (with an optional sign), GetHexValue hex digits with an optional "0x".
    /// Anything else, or a number that does not fit in 64 bits, reads as 0. valid (may be NULL)
    /// receives whether the text was a number.
    LONGLONG GetValue(BOOL* valid) const;
    /// Reads hex digits; see GetValue.
    LONGLONG GetHexValue(BOOL* valid) const;

private:
    size_t TextLength() const;
    size_t FindChar(char c, size_t start, bool last) const;
    LONGLONG ParseTrimmed(bool (*parse)(const char* first, const char* last, LONGLONG& value),
                          BOOL* valid) const;

    std::string m_buffer;
};
