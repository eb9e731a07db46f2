// Face names to font files through fontconfig: the best match for a face, weight and slant, and
// the fonts to fall back on for characters that match lacks.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tqplat {

struct FontFile {
    std::string path;
    int index = 0;                 // face index inside a collection
    bool bold = false;             // the face itself is bold
    bool italic = false;           // the face itself is slanted
    const void* charset = nullptr; // the fontconfig character set, owned by the resolver

    bool HasChar(uint32_t codepoint) const;
};

class FontResolver {
public:
    static FontResolver& Instance();

    // Fonts for a face name (UTF-8), best first; the first is the face to use, the rest are the
    // fallbacks in order. Empty when fontconfig finds nothing at all. Results are kept for the
    // life of the resolver, which also owns their character sets.
    std::vector<FontFile> Resolve(const std::string& family, int weight, bool italic, bool chinese);

    // Releases the kept results and fontconfig itself.
    ~FontResolver();

private:
    FontResolver();
    std::vector<FontFile> Sort(const std::string& family, int weight, bool italic, bool chinese);

    bool m_ready;
    std::map<std::string, std::vector<FontFile>> m_results;
    std::vector<void*> m_fontSets; // every FcFontSet the results point into
};

} // namespace tqplat
