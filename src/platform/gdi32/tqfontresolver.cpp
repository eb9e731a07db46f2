#include "platform/gdi32/tqfontresolver.h"

#include "platform/win32/tqplatformlog.h"

#include <fontconfig/fontconfig.h>

namespace tqplat {
namespace {

// GDI weights (100..900) to fontconfig weights.
int FcWeightFromGdi(int weight) {
    return FcWeightFromOpenType(weight <= 0 ? 400 : weight);
}

FcPattern* BuildPattern(const std::string& family, int weight, bool italic, bool chinese) {
    FcPattern* pattern = FcPatternCreate();
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromGdi(weight));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    if (chinese)
        FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

bool ReadFontFile(FcPattern* font, FontFile* out) {
    FcChar8* file = nullptr;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch)
        return false;
    out->path = reinterpret_cast<const char*>(file);
    int value = 0;
    out->index = FcPatternGetInteger(font, FC_INDEX, 0, &value) == FcResultMatch ? value : 0;
    out->bold =
        FcPatternGetInteger(font, FC_WEIGHT, 0, &value) == FcResultMatch && value >= FC_WEIGHT_DEMIBOLD;
    out->italic = FcPatternGetInteger(font, FC_SLANT, 0, &value) == FcResultMatch && value != FC_SLANT_ROMAN;
    FcCharSet* charset = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) == FcResultMatch)
        out->charset = charset;
    return true;
}

} // namespace

bool FontFile::HasChar(uint32_t codepoint) const {
    return charset != nullptr && FcCharSetHasChar(static_cast<const FcCharSet*>(charset), codepoint);
}

FontResolver& FontResolver::Instance() {
    static FontResolver resolver;
    return resolver;
}

FontResolver::FontResolver() : m_ready(FcInit() == FcTrue) {
    if (!m_ready)
        PlatformLog("fontconfig could not be initialised");
}

FontResolver::~FontResolver() {
    for (void* set : m_fontSets)
        FcFontSetDestroy(static_cast<FcFontSet*>(set));
    if (m_ready)
        FcFini();
}

std::vector<FontFile> FontResolver::Resolve(const std::string& family, int weight, bool italic,
                                            bool chinese) {
    if (!m_ready)
        return std::vector<FontFile>();
    std::string key = family + '\n' + std::to_string(weight) + (italic ? "i" : "") + (chinese ? "c" : "");
    auto found = m_results.find(key);
    if (found == m_results.end())
        found = m_results.emplace(key, Sort(family, weight, italic, chinese)).first;
    return found->second;
}

std::vector<FontFile> FontResolver::Sort(const std::string& family, int weight, bool italic, bool chinese) {
    std::vector<FontFile> files;
    FcPattern* pattern = BuildPattern(family, weight, italic, chinese);
    FcResult result = FcResultNoMatch;
    FcFontSet* sorted = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result);
    if (sorted != nullptr) {
        for (int i = 0; i < sorted->nfont; ++i) {
            FontFile file;
            if (ReadFontFile(sorted->fonts[i], &file))
                files.push_back(std::move(file));
        }
        m_fontSets.push_back(sorted);
    }
    FcPatternDestroy(pattern);
    if (files.empty())
        PlatformLog("no font found for face \"%s\"", family.c_str());
    return files;
}

} // namespace tqplat
