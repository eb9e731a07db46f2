// One private-profile (ini) file as lines of text, with the lookup and edit rules of the platform's
// private-profile functions: "[section]" headers and "key=value" lines, names compared without
// regard to ASCII case and trimmed of blanks, the first match winning, ';' starting a comment line.
#pragma once

#include <string>
#include <vector>

namespace tqplat {

class IniFile {
public:
    // Reads the file at a UTF-8 path; a missing file gives an empty document (false).
    bool Load(const std::string& utf8Path);
    // Writes the document back, keeping the line ending the file used (CRLF for a new file).
    bool Save(const std::string& utf8Path) const;

    // The value of key in section, trimmed, with one pair of matching surrounding quotes removed.
    bool Get(const std::string& section, const std::string& key, std::string* value) const;
    std::vector<std::string> SectionNames() const;
    std::vector<std::string> KeyNames(const std::string& section) const;

    // Sets a value, adding the key at the end of its section, or the section at the end of the file.
    // The section name, key and value are each cut at their first line break.
    void Set(const std::string& section, const std::string& key, const std::string& value);
    void DeleteKey(const std::string& section, const std::string& key);
    void DeleteSection(const std::string& section);

private:
    // Index of the header line of section (npos when absent) and the end of its lines.
    size_t FindSection(const std::string& section) const;
    size_t SectionEnd(size_t header) const;
    size_t FindKey(size_t header, const std::string& key) const;

    std::vector<std::string> m_lines;
    bool m_crlf = true;
};

} // namespace tqplat
