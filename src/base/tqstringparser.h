/// @class TQStringParser
/// Splits a text into tokens at a separator character.
///
/// SetParser(separator, flag) splits the text held; tokens are counted from 1. The empty text has
/// no token, while empty tokens between separators count: "a,,b" has 3 tokens and "a," has 2. A
/// separator that is the trail byte of a GBK double-byte character does not split. flag 0 keeps
/// tokens exactly as written; any other flag trims white space around each token. Assigning a new
/// text drops the tokens until the next SetParser.
#pragma once

#include <vector>

#include "base/tqstring.h"

class TQStringParser {
public:
    TQStringParser() = default;
    /// NULL reads as the empty text.
    TQStringParser(const char* text);
    /// Replaces the text (NULL reads as empty) and drops the tokens.
    TQStringParser& operator=(const char* text);

    /// Splits the text at separator; flag nonzero trims each token.
    void SetParser(char separator, int flag);
    /// Number of tokens.
    DWORD GetCount() const { return static_cast<DWORD>(m_tokens.size()); }
    /// Token index (from 1); empty when out of range.
    TQString GetToken(DWORD index) const;
    /// Token index as a number (TQString::GetValue); 0 when out of range or not a number.
    LONGLONG GetTokenNum(DWORD index) const;

private:
    void AddToken(const char* text, size_t length, bool trim);

    TQString m_text;
    std::vector<TQString> m_tokens;
};
