#include "engine/tq2ddescriptionfields.h"

#include "base/tqstringparser.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dsound.h"

#include <cstdlib>

namespace {

struct Keyword {
    const char* word;
    int bits;
};

// ORs the bits of every "|"-separated token (trimmed, upper-cased) found in the table.
template <size_t N> int KeywordBits(const TQString& value, const Keyword (&table)[N]) {
    TQStringParser parser(value);
    parser.SetParser('|', 1);
    int bits = 0;
    for (DWORD i = 1; i <= parser.GetCount(); ++i) {
        TQString token = parser.GetToken(i);
        token.MakeTrimUpper();
        for (const Keyword& keyword : table) {
            if (token.Compare(keyword.word, 0) == 0)
                bits |= keyword.bits;
        }
    }
    return bits;
}

} // namespace

int TQ2DConfigInt(const TQFileConfig& config, const char* key) {
    return static_cast<int>(static_cast<DWORD>(config.GetConfigNum(key)));
}

TQString TQ2DTrimmedConfig(const TQFileConfig& config, const char* key) {
    TQString value = config.GetConfig(key);
    value.Trim();
    return value;
}

TQString TQ2DDescriptionFolder(const TQString& name) {
    TQString path = name;
    path.StrReplace('\\', '/');
    const int slash = path.StrFind('/', 0, 1);
    TQString folder;
    if (slash >= 0)
        folder.SetString(path.GetString(), static_cast<DWORD>(slash) + 1, 0);
    return folder;
}

TQString TQ2DFileNameConfig(const TQFileConfig& config, const char* key) {
    TQString value = TQ2DTrimmedConfig(config, key);
    value.StrReplace('\\', '/');
    return value;
}

TQString TQ2DPathInFolder(const TQString& folder, const TQString& file) {
    if (TQ2DIsSystemPath(file))
        return file;
    TQString path;
    path.Format("%s%s", folder.GetString(), file.GetString());
    return path;
}

int TQ2DBlendKeywordBits(const TQString& value) {
    static const Keyword kBlend[] = {{"COLORADD", 1}, {"ALPHABLEND", 2}, {"ZWRITE", 4}};
    return KeywordBits(value, kBlend);
}

int TQ2DLoopModeKeywordBits(const TQString& value) {
    static const Keyword kMode[] = {{"REV", 1}, {"PINGPONG", 2}, {"LOOP", 4}};
    return KeywordBits(value, kMode);
}

void TQ2DReadSoundValue(const TQString& value, const TQString& folder, const char* description,
                        TQ2DSound& sound) {
    TQStringParser parser(value);
    parser.SetParser(',', 1);
    const TQString volume = parser.GetToken(2);
    const TQString panning = parser.GetToken(3);
    const TQString pitch = parser.GetToken(4);
    const TQString loop = parser.GetToken(5);
    const TQString file = parser.GetToken(1);
    if (TQ2DNamesFile("sound", file, description, "SOUND"))
        sound.Create(TQ2DPathInFolder(folder, file), 0);
    else
        sound.Delete();
    sound.SetVolume(volume.GetLength() ? static_cast<int>(volume.GetValue(nullptr)) : 100);
    sound.SetPanning(panning.GetLength() ? static_cast<int>(panning.GetValue(nullptr)) : 0);
    sound.SetPitch(pitch.GetLength() ? static_cast<float>(std::atof(pitch)) : 1.0f);
    sound.SetLoopMode(loop.GetLength() && loop.GetValue(nullptr) != 0);
}
