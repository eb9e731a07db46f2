#include "base/tqstringparser.h"

#include "platform/codepage/tqcodepage.h"

TQStringParser::TQStringParser(const char* text) : m_text(text) {}

TQStringParser& TQStringParser::operator=(const char* text) {
    m_text = text;
    m_tokens.clear();
    return *this;
}

void TQStringParser::SetParser(char separator, int flag) {
    m_tokens.clear();
    const char* text = m_text.GetString();
    const size_t length = m_text.GetLength();
    if (length == 0)
        return;
    size_t start = 0;
    for (size_t i = 0; i <= length;) {
        size_t step =
            i < length ? tqplat::GbkCharLength(reinterpret_cast<const unsigned char*>(text) + i, length - i)
                       : 1;
        if (i == length || (step == 1 && text[i] == separator)) {
            AddToken(text + start, i - start, flag != 0);
            start = i + 1;
        }
        i += step;
    }
}

void TQStringParser::AddToken(const char* text, size_t length, bool trim) {
    TQString token;
    token.SetString(text, static_cast<DWORD>(length), 0);
    if (trim)
        token.Trim();
    m_tokens.push_back(std::move(token));
}

TQString TQStringParser::GetToken(DWORD index) const {
    return index >= 1 && index <= m_tokens.size() ? m_tokens[index - 1] : TQString();
}

LONGLONG TQStringParser::GetTokenNum(DWORD index) const {
    return GetToken(index).GetValue(nullptr);
}
