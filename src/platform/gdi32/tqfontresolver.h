// Face names to font files through fontconfig: the best match for a face, weight and slant, and
// the fonts to fall back on for characters that match lacks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tqplat {

struct FontFile {
    std::string path;
    int index = 0;                 // face index inside a collection
    bool bold = false;             // the face itself is bold
    bool italic = false;           // the face itself is slanted
    std::shared_ptr<void> charset; // the fontconfig character set of the face

    bool HasChar(uint32_t codepoint) const;
};

class FontResolver {
public:
    static FontResolver& Instance();

    // Fonts for a face name (UTF-8), best first; the first is the face to use, the rest are the
    // fallbacks in order. Empty when fontconfig finds nothing at all.
    std::vector<FontFile> Resolve(const std::string& family, int weight, bool italic, bool chinese);

private:
    FontResolver();
    bool m_ready;
};

} // namespace tqplat
