#include "gui/tq2dguidescription.h"

#include <cstdio>
#include <string>

#include "engine/tq2dfilelookup.h"
#include "engine/tq2dpack.h"

namespace {

// The text of [begin, end) of a line, cut at the first '#' when asked, trimmed.
TQString Field(const std::string& line, size_t begin, size_t end, bool cutComment) {
    std::string part = line.substr(begin, end - begin);
    if (cutComment) {
        const size_t hash = part.find('#');
        if (hash != std::string::npos)
            part.erase(hash);
    }
    TQString field(part.c_str());
    field.Trim();
    return field;
}

TQ2DGUIDescriptionLine ParseLine(const std::string& line, bool cutKeyComment) {
    TQ2DGUIDescriptionLine parsed;
    const size_t equals = line.find('=');
    parsed.key = Field(line, 0, equals == std::string::npos ? line.size() : equals, cutKeyComment);
    parsed.key.MakeTrimUpper();
    if (equals != std::string::npos) {
        const size_t second = line.find('=', equals + 1);
        parsed.value = Field(line, equals + 1, second == std::string::npos ? line.size() : second, true);
    }
    return parsed;
}

} // namespace

bool TQ2DGUIReadDescription(const char* name, TQString& text) {
    text = "";
    if (!TQ2DNamesFile("description file", name))
        return false;
    const TQString key = TQ2DNormalizeResourceName(name);
    if (TQ2DPackGetFile(key, text))
        return true;
    std::string content;
    if (!TQ2DReadDescriptionFile(name, key, &content))
        return false;
    text = content.c_str();
    return true;
}

std::vector<TQ2DGUIDescriptionLine> TQ2DGUISplitDescription(const TQString& text, bool cutKeyComment) {
    std::vector<TQ2DGUIDescriptionLine> lines;
    const std::string all = text.GetString();
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string::npos)
            end = all.size();
        lines.push_back(ParseLine(all.substr(start, end - start), cutKeyComment));
        start = end + 1;
    }
    return lines;
}
