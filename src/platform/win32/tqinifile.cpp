#include "platform/win32/tqinifile.h"

#include "platform/win32/tqpath.h"

#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cstdio>

namespace tqplat {
namespace {

const size_t npos = std::string::npos;

std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t");
    if (begin == npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// The name of a "[name]" header line; false for any other line.
bool HeaderName(const std::string& line, std::string* name) {
    std::string trimmed = Trim(line);
    if (trimmed.size() < 2 || trimmed[0] != '[')
        return false;
    size_t close = trimmed.find(']');
    if (close == npos)
        return false;
    *name = Trim(trimmed.substr(1, close - 1));
    return true;
}

// The key and raw value of a "key=value" line; false for comments and lines without '='.
bool KeyLine(const std::string& line, std::string* key, std::string* value) {
    std::string trimmed = Trim(line);
    size_t equals = trimmed.find('=');
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '[' || equals == npos)
        return false;
    *key = Trim(trimmed.substr(0, equals));
    if (value != nullptr)
        *value = Trim(trimmed.substr(equals + 1));
    return true;
}

// A line break in a section name, key or value would start a line of its own (a header or a key
// of another section): the text ends there.
std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

std::string Unquote(const std::string& value) {
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

bool IniFile::Load(const std::string& utf8Path) {
    m_lines.clear();
    m_crlf = true;
    int fd = OpenRegularFile(utf8Path, O_RDONLY);
    if (fd < 0)
        return false;
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(fd, buffer, sizeof(buffer))) > 0)
        text.append(buffer, n);
    close(fd);
    m_crlf = text.find('\n') == npos || text.find("\r\n") != npos;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == npos ? npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        m_lines.push_back(line);
        start = end == npos ? text.size() : end + 1;
    }
    return true;
}

bool IniFile::Save(const std::string& utf8Path) const {
    int fd = OpenRegularFile(utf8Path, O_WRONLY | O_CREAT | O_TRUNC);
    if (fd < 0)
        return false;
    std::string text;
    for (const std::string& line : m_lines)
        text += line + (m_crlf ? "\r\n" : "\n");
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    return close(fd) == 0 && written;
}

size_t IniFile::FindSection(const std::string& section) const {
    std::string name;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        if (HeaderName(m_lines[i], &name) && SameName(name, Trim(section)))
            return i;
    }
    return npos;
}

size_t IniFile::SectionEnd(size_t header) const {
    std::string name;
    size_t i = header + 1;
    while (i < m_lines.size() && !HeaderName(m_lines[i], &name))
        ++i;
    return i;
}

size_t IniFile::FindKey(size_t header, const std::string& key) const {
    std::string name;
    std::string wanted = Trim(key);
    for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
        if (KeyLine(m_lines[i], &name, nullptr) && SameName(name, wanted))
            return i;
    }
    return npos;
}

bool IniFile::Get(const std::string& section, const std::string& key, std::string* value) const {
    size_t header = FindSection(section);
    size_t line = header == npos ? npos : FindKey(header, key);
    std::string name;
    if (line == npos || !KeyLine(m_lines[line], &name, value))
        return false;
    *value = Unquote(*value);
    return true;
}

std::vector<std::string> IniFile::SectionNames() const {
    std::vector<std::string> names;
    std::string name;
    for (const std::string& line : m_lines) {
        if (HeaderName(line, &name))
            names.push_back(name);
    }
    return names;
}

std::vector<std::string> IniFile::KeyNames(const std::string& section) const {
    std::vector<std::string> names;
    size_t header = FindSection(section);
    if (header == npos)
        return names;
    std::string name;
    for (size_t i = header + 1, end = SectionEnd(header); i < end; ++i) {
        if (KeyLine(m_lines[i], &name, nullptr))
            names.push_back(name);
    }
    return names;
}

void IniFile::Set(const std::string& sectionText, const std::string& keyText, const std::string& value) {
    std::string section = FirstLine(sectionText);
    std::string key = FirstLine(keyText);
    std::string line = Trim(key) + "=" + FirstLine(value);
    size_t header = FindSection(section);
    if (header == npos) {
        m_lines.push_back("[" + Trim(section) + "]");
        m_lines.push_back(line);
        return;
    }
    size_t existing = FindKey(header, key);
    if (existing != npos) {
        m_lines[existing] = line;
        return;
    }
    // After the section's last non-blank line, so blank lines stay before the next section.
    size_t at = SectionEnd(header);
    while (at > header + 1 && Trim(m_lines[at - 1]).empty())
        --at;
    m_lines.insert(m_lines.begin() + at, line);
}

void IniFile::DeleteKey(const std::string& section, const std::string& key) {
    size_t header = FindSection(section);
    size_t line = header == npos ? npos : FindKey(header, key);
    if (line != npos)
        m_lines.erase(m_lines.begin() + line);
}

void IniFile::DeleteSection(const std::string& section) {
    size_t header = FindSection(section);
    if (header != npos)
        m_lines.erase(m_lines.begin() + header, m_lines.begin() + SectionEnd(header));
}

} // namespace tqplat
