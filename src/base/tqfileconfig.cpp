#include "base/tqfileconfig.h"

#include <cstring>

namespace {

const char kUtf8Bom[] = "\xEF\xBB\xBF";

// The lookup form of a key: trimmed, ASCII upper case.
std::string NormalizeKey(const char* text, size_t length) {
    TQString key;
    key.SetString(text, static_cast<DWORD>(length), 0);
    key.MakeTrimUpper();
    return key.GetString();
}

bool IsCommentLine(const char* line, size_t length) {
    size_t i = 0;
    while (i < length && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    return i < length && line[i] == '#';
}

} // namespace

BOOL TQFileConfig::LoadFileConfig(const char* data, DWORD length, int flag) {
    if (!data)
        return FALSE;
    if (length > 0 || (flag & TQFILECONFIG_FROM_MEMORY)) {
        Parse(data, length);
        return TRUE;
    }
    TQString file;
    if (!file.FileLoad(data))
        return FALSE;
    Parse(file.GetString(), file.GetBufferLength());
    return TRUE;
}

TQString TQFileConfig::GetConfig(const char* key) const {
    auto found = m_values.find(NormalizeKey(key ? key : "", key ? std::strlen(key) : 0));
    return found == m_values.end() ? TQString() : found->second;
}

LONGLONG TQFileConfig::GetConfigNum(const char* key) const {
    return GetConfig(key).GetValue(nullptr);
}

void TQFileConfig::Parse(const char* text, size_t length) {
    m_values.clear();
    if (length >= 3 && std::memcmp(text, kUtf8Bom, 3) == 0) {
        text += 3;
        length -= 3;
    }
    while (length > 0) {
        const char* end = static_cast<const char*>(std::memchr(text, '\n', length));
        size_t lineLength = end ? static_cast<size_t>(end - text) : length;
        ParseLine(text, lineLength);
        size_t consumed = end ? lineLength + 1 : lineLength;
        text += consumed;
        length -= consumed;
    }
}

void TQFileConfig::ParseLine(const char* line, size_t length) {
    if (length > 0 && line[length - 1] == '\r')
        --length;
    const char* equals = static_cast<const char*>(std::memchr(line, '=', length));
    if (!equals || IsCommentLine(line, length))
        return;
    std::string key = NormalizeKey(line, static_cast<size_t>(equals - line));
    if (key.empty())
        return;
    TQString value;
    value.SetString(equals + 1, static_cast<DWORD>(line + length - equals - 1), 0);
    value.Trim();
    m_values[key] = std::move(value);
}
