#include "helpers/tqgfxscriptparser.h"

#include "helpers/ranimation.h"
#include "helpers/rdistort.h"
#include "helpers/reffect.h"
#include "helpers/rfont.h"
#include "helpers/rmusic.h"
#include "helpers/rparticle.h"
#include "helpers/rresource.h"
#include "helpers/rscript.h"
#include "helpers/rstream.h"
#include "helpers/rtarget.h"
#include "helpers/rtexture.h"
#include "helpers/tqgfxresourcemanager.h"

#include "base/tqlog.h"
#include "base/tqlogname.h"
#include "platform/win32/tqopenscope.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Keyword {
    int code;
    const char* text;
};

// Searched in this order; the first keyword the text begins with wins.
const Keyword kKeywords[] = {
    {TTEQUALS, "="},
    {TTSEPARATOR, ":"},
    {TTCOMMA, ","},
    {TTOPENBLOCK, "{"},
    {TTCLOSEBLOCK, "}"},
    {TTBOOL, "true"},
    {TTBOOL, "false"},
    {TTRES_INCLUDE, "Include"},
    {TTRES_RESOURCE, "Resource"},
    {TTRES_RESOURCE + 1, "Texture"},
    {TTRES_RESOURCE + 2, "Sound"},
    {TTRES_RESOURCE + 3, "Music"},
    {TTRES_RESOURCE + 4, "Stream"},
    {TTRES_RESOURCE + 5, "Target"},
    {TTRES_RESOURCE + 6, "Sprite"},
    {TTRES_RESOURCE + 7, "Animation"},
    {TTRES_RESOURCE + 8, "Font"},
    {TTRES_RESOURCE + 9, "Particle"},
    {TTRES_DISTORT, "Distortion"},
    {TTPAR_FILENAME, "filename"},
    {TTPAR_RESGROUP, "resgroup"},
    {TTPAR_SIZE, "size"},
    {TTPAR_ZBUFFER, "zbuffer"},
    {TTPAR_TEXTURE, "texture"},
    {TTPAR_RECT, "rect"},
    {TTPAR_HOTSPOT, "hotspot"},
    {TTPAR_BLENDMODE, "blendmode"},
    {TTPAR_COLOR, "color"},
    {TTPAR_ZORDER, "zorder"},
    {TTPAR_FLIP, "flip"},
    {TTPAR_SCALE, "scale"},
    {TTPAR_ROTATION, "rotation"},
    {TTPAR_FRAMES, "frames"},
    {TTPAR_FPS, "fps"},
    {TTPAR_MODE, "mode"},
    {TTPAR_TRACKING, "tracking"},
    {TTPAR_SPRITE, "sprite"},
    {TTPAR_MESH, "mesh"},
    {TTCON_COLORMUL, "COLORMUL"},
    {TTCON_COLORADD, "COLORADD"},
    {TTCON_ALPHABLEND, "ALPHABLEND"},
    {TTCON_ALPHAADD, "ALPHAADD"},
    {TTCON_ZWRITE, "ZWRITE"},
    {TTCON_NOZWRITE, "NOZWRITE"},
    {TTCON_FORWARD, "FORWARD"},
    {TTCON_REVERSE, "REVERSE"},
    {TTCON_PINGPONG, "PINGPONG"},
    {TTCON_NOPINGPONG, "NOPINGPONG"},
    {TTCON_LOOP, "LOOP"},
    {TTCON_NOLOOP, "NOLOOP"},
    {TTCON_CIRCLE, "CIRCLE"},
    {TTCON_RECT, "RECT"},
    {TTCON_ALPHA, "ALPHA"},
};

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsNumberChar(char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-';
}

bool EndsWord(char c) {
    return c == '\0' || IsSpace(c) || std::strchr(",={}:", c) != nullptr;
}

bool IsBlockKeyword(int code) {
    return code >= TTRES_INCLUDE && code <= TTRES_DISTORT;
}

bool IsParameterName(int code) {
    return code >= TTPAR_FILENAME && code <= TTPAR_MESH;
}

bool IsSeparator(int code) {
    return code == TTEQUALS || code == TTCOMMA;
}

// A word of blendmode or mode and the bit it sets or clears.
struct FlagWord {
    int code;
    int bit;
    bool set;
};
constexpr int kFlagWordCount = 6;

// Words of blendmode and of an animation's mode: the bit each sets or clears.
const FlagWord kBlendWords[kFlagWordCount] = {
    {TTCON_COLORMUL, TQ2D_BLEND_COLORADD, false},    {TTCON_COLORADD, TQ2D_BLEND_COLORADD, true},
    {TTCON_ALPHABLEND, TQ2D_BLEND_ALPHABLEND, true}, {TTCON_ALPHAADD, TQ2D_BLEND_ALPHABLEND, false},
    {TTCON_ZWRITE, TQ2D_BLEND_ZWRITE, true},         {TTCON_NOZWRITE, TQ2D_BLEND_ZWRITE, false},
};
const FlagWord kModeWords[kFlagWordCount] = {
    {TTCON_FORWARD, 1, false},    {TTCON_REVERSE, 1, true}, {TTCON_PINGPONG, 2, true},
    {TTCON_NOPINGPONG, 2, false}, {TTCON_LOOP, 4, true},    {TTCON_NOLOOP, 4, false},
};

// A new descriptor of `type`: a copy of `base` when given, else with the type's defaults.
template <class T> ResDesc* MakeDescriptor(const ResDesc* base) {
    return base ? new T(*static_cast<const T*>(base)) : new T;
}

ResDesc* NewDescriptor(int type, const ResDesc* base) {
    switch (type) {
    case TQGFX_RES_RESOURCE:
        return MakeDescriptor<RResource>(base);
    case TQGFX_RES_TEXTURE:
        return MakeDescriptor<RTexture>(base);
    case TQGFX_RES_EFFECT:
        return MakeDescriptor<REffect>(base);
    case TQGFX_RES_MUSIC:
        return MakeDescriptor<RMusic>(base);
    case TQGFX_RES_STREAM:
        return MakeDescriptor<RStream>(base);
    case TQGFX_RES_TARGET:
        return MakeDescriptor<RTarget>(base);
    case TQGFX_RES_SPRITE:
        return MakeDescriptor<RSprite>(base);
    case TQGFX_RES_ANIMATION:
        return MakeDescriptor<RAnimation>(base);
    case TQGFX_RES_FONT:
        return MakeDescriptor<RFont>(base);
    case TQGFX_RES_PARTICLE:
        return MakeDescriptor<RParticle>(base);
    case TQGFX_RES_DISTORT:
        return MakeDescriptor<RDistort>(base);
    default:
        return nullptr;
    }
}

// The file-name field of a descriptor whose type has one, else NULL.
char* FileNameField(ResDesc* desc, int type) {
    switch (type) {
    case TQGFX_RES_RESOURCE:
        return static_cast<RResource*>(desc)->filename;
    case TQGFX_RES_TEXTURE:
        return static_cast<RTexture*>(desc)->filename;
    case TQGFX_RES_EFFECT:
        return static_cast<REffect*>(desc)->filename;
    case TQGFX_RES_MUSIC:
        return static_cast<RMusic*>(desc)->filename;
    case TQGFX_RES_STREAM:
        return static_cast<RStream*>(desc)->filename;
    case TQGFX_RES_FONT:
        return static_cast<RFont*>(desc)->filename;
    case TQGFX_RES_PARTICLE:
        return static_cast<RParticle*>(desc)->filename;
    default:
        return nullptr;
    }
}

// A script that cannot be read leaves the manager empty: the error log (which a game sees without
// a device log file) says so once, with the full path tried, since relative names start at the
// program's folder and not at the working folder.
// The error line of a script that was not read: why, when the device or the confinement of a
// pack's names says so, else the path tried after the zip packs.
void LogScriptNotFound(TQGfxDevice* device, const char* scriptName) {
    const std::string why = TQGfxWhyNotRead(device);
    g_tqLogError.SetLogInfo(__FILE__, "TQGfxScriptParser::ParseScript", __LINE__);
    if (!why.empty())
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Script '%s' not read: %s.", TQLogShortName(scriptName).c_str(),
                         why.c_str());
    else
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Script '%s' not found. [path=%s]",
                         TQLogShortName(scriptName).c_str(),
                         TQLogShortName(device->Resource_MakePath(scriptName)).c_str());
}

} // namespace

TQGfxScriptParser::TQGfxScriptParser(const char* scriptName, char* text)
    : m_nTokenType(0), m_szToken(), m_pScript(text ? text : ""), m_szScriptName(scriptName ? scriptName : ""),
      m_nLine(1), m_pTokenStart(m_pScript), m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)),
      m_bPackNames(false) {}

TQGfxScriptParser::~TQGfxScriptParser() {
    if (m_pDevice)
        m_pDevice->Release();
}

// ---- Tokens ----

void TQGfxScriptParser::SkipSpaceAndComments() {
    for (;;) {
        char c = *m_pScript;
        if (IsSpace(c)) {
            if (c == '\n')
                ++m_nLine;
            ++m_pScript;
        } else if (c == ';') {
            while (*m_pScript && *m_pScript != '\r' && *m_pScript != '\n')
                ++m_pScript;
        } else {
            return;
        }
    }
}

int TQGfxScriptParser::SetToken(int code, const char* start, const char* end) {
    size_t length = static_cast<size_t>(end - start);
    if (length > TQGFX_TOKEN_SIZE - 1)
        length = TQGFX_TOKEN_SIZE - 1;
    std::memcpy(m_szToken, start, length);
    m_szToken[length] = '\0';
    m_pScript = end;
    m_nTokenType = code;
    return code;
}

int TQGfxScriptParser::ReadNumber() {
    const char* end = m_pScript;
    while (IsNumberChar(*end))
        ++end;
    return SetToken(TTNUMBER, m_pScript, end);
}

int TQGfxScriptParser::ReadQuotedString() {
    const char* start = m_pScript + 1;
    const char* end = start;
    while (*end && *end != '"' && *end != '\r' && *end != '\n')
        ++end;
    SetToken(TTSTRING, start, end);
    if (*end == '"')
        ++m_pScript;
    return TTSTRING;
}

int TQGfxScriptParser::ReadKeywordOrWord() {
    for (const Keyword& keyword : kKeywords) {
        size_t length = std::strlen(keyword.text);
        if (std::strncmp(m_pScript, keyword.text, length) == 0)
            return SetToken(keyword.code, m_pScript, m_pScript + length);
    }
    return ReadWord();
}

int TQGfxScriptParser::ReadWord() {
    const char* end = m_pScript;
    while (!EndsWord(*end))
        ++end;
    return SetToken(TTSTRING, m_pScript, end);
}

int TQGfxScriptParser::GetToken() {
    SkipSpaceAndComments();
    m_pTokenStart = m_pScript;
    char c = *m_pScript;
    if (c == '\0')
        return SetToken(TTEND, m_pScript, m_pScript);
    if (IsNumberChar(c))
        return ReadNumber();
    if (c == '"')
        return ReadQuotedString();
    return ReadKeywordOrWord();
}

void TQGfxScriptParser::put_back() {
    m_pScript = m_pTokenStart;
}

int TQGfxScriptParser::tkn_int() const {
    return std::atoi(m_szToken);
}

float TQGfxScriptParser::tkn_float() const {
    return static_cast<float>(std::atof(m_szToken));
}

bool TQGfxScriptParser::tkn_bool() const {
    return m_szToken[0] == 't';
}

DWORD TQGfxScriptParser::tkn_hex() const {
    DWORD value = 0;
    for (const char* p = m_szToken; *p; ++p) {
        int c = static_cast<unsigned char>(*p);
        if (c >= 'a')
            c -= 39;
        if (c >= 'A')
            c -= 7;
        int digit = c - '0';
        if (digit > 15)
            digit = 15;
        value = value * 16 + static_cast<DWORD>(digit);
    }
    return value;
}

void TQGfxScriptParser::ScriptError(const char* before, const char* after) {
    m_pDevice->System_Log("%s, line %d: %s'%s'%s", m_szScriptName, m_nLine, before,
                          m_szToken[0] ? m_szToken : "<EOF>", after);
}

// ---- Declarations ----

void TQGfxScriptParser::ParseScript(TQGfxResourceManager* manager, TQGfxScriptParser* parser,
                                    const char* scriptName) {
    if (!manager || !scriptName)
        return;
    TQGfxDevice* device = TQGfxCreate(TQGfxDevice::kVersion);
    if (!device)
        return;
    DWORD size = 0;
    void* data = nullptr;
    // A script named by a pack's script is read as the pack's names are; a script from a zip pack
    // holds a pack's names.
    const bool inherited = parser && parser->m_bPackNames;
    const tqplat::OpenScope scope(inherited);
    TQGfxDevice::FoundResource found;
    if (manager->FindRes(TQGFX_RES_SCRIPT, scriptName)) {
        if (parser)
            parser->ScriptError("Script ", " already has been parsed.");
        else
            device->System_Log("Script '%s' already has been parsed.", scriptName);
    } else if (device->Resource_Find(scriptName, &found) == TQGfxDevice::kResourceNone ||
               !(data = device->Resource_Read(found, &size))) {
        if (parser)
            parser->ScriptError("Script ", " not found.");
        else
            device->System_Log("Script '%s' not found.", scriptName);
        LogScriptNotFound(device, scriptName);
    } else {
        char* text = new char[size + 1];
        std::memcpy(text, data, size);
        text[size] = '\0';
        device->Resource_Free(data);
        RScript* record = new RScript;
        record->SetName(scriptName);
        manager->AddRes(TQGFX_RES_SCRIPT, record);
        // The record's copy of the name outlives the parser; the caller's may not.
        TQGfxScriptParser body(record->name, text);
        body.m_bPackNames = inherited || found.kind == TQGfxDevice::kResourceZipEntry;
        body.ParseBody(manager);
        delete[] text;
    }
    device->Release();
}

void TQGfxScriptParser::ParseBody(TQGfxResourceManager* manager) {
    for (int code = GetToken(); code != TTEND; code = GetToken()) {
        if (code == TTRES_INCLUDE) {
            GetToken();
            ParseScript(manager, this, m_szToken);
        } else if (IsBlockKeyword(code)) {
            ParseResource(manager, code - TTRES_INCLUDE);
        } else {
            ScriptError("Unrecognized resource specificator ", ".");
            SkipToNextBlock();
        }
    }
}

void TQGfxScriptParser::ParseResource(TQGfxResourceManager* manager, int type) {
    GetToken();
    char name[TQGFX_TOKEN_SIZE];
    std::memcpy(name, m_szToken, sizeof(name));
    if (manager->FindRes(type, name)) {
        ScriptError("Resource ", " of the same type already has been defined.");
        SkipToNextBlock();
        return;
    }
    const ResDesc* base = nullptr;
    if (GetToken() == TTSEPARATOR) {
        GetToken();
        base = manager->FindRes(type, m_szToken);
        if (!base)
            ScriptError("Base resource ", " is not defined.");
        GetToken();
    }
    if (m_nTokenType != TTOPENBLOCK) {
        ScriptError("Illegal resource syntax, ", " found; '{' expected.");
        SkipToNextBlock();
        return;
    }
    ResDesc* desc = NewDescriptor(type, base);
    desc->packnames = desc->packnames || m_bPackNames;
    desc->SetName(name);
    desc->handle = 0;
    desc->next = nullptr;
    ParseParameters(desc, type);
    manager->AddRes(type, desc);
}

void TQGfxScriptParser::SkipToNextBlock() {
    int code;
    do
        code = GetToken();
    while (code != TTEND && !IsBlockKeyword(code));
    put_back();
}

void TQGfxScriptParser::SkipToNextParameter() {
    int code;
    do
        code = GetToken();
    while (code != TTEND && code != TTCLOSEBLOCK && !IsBlockKeyword(code) && !IsParameterName(code));
    put_back();
}

void TQGfxScriptParser::ParseParameters(ResDesc* desc, int type) {
    for (;;) {
        int code = GetToken();
        if (code == TTCLOSEBLOCK)
            return;
        if (code == TTEND || IsBlockKeyword(code)) {
            ScriptError("'}' missed, ", " encountered.");
            put_back();
            return;
        }
        // A parameter's name with more after it ("rectt") is an unknown parameter, reported whole
        // rather than read as that parameter with its values shifted.
        const bool misspelt = IsParameterName(code) && !EndsWord(*m_pScript);
        if (misspelt) {
            put_back();
            ReadWord();
        }
        if (misspelt || !ReadParameter(desc, type, code)) {
            ScriptError("Unsupported resource parameter ", ".");
            SkipToNextParameter();
        }
    }
}

void TQGfxScriptParser::NextValue() {
    GetToken();
    GetToken();
}

int TQGfxScriptParser::ReadFlagWords(int value, bool modeWords) {
    const FlagWord* words = modeWords ? kModeWords : kBlendWords;
    while (IsSeparator(GetToken())) {
        int word = GetToken();
        const FlagWord* found = nullptr;
        for (int i = 0; i < kFlagWordCount && !found; ++i)
            if (words[i].code == word)
                found = &words[i];
        if (found)
            value = found->set ? (value | found->bit) : (value & ~found->bit);
        else
            ScriptError("Unsupported value ", ".");
    }
    put_back();
    return value;
}

void TQGfxScriptParser::ReadName(char* field) {
    NextValue();
    TQGfxCopyResName(field, m_szToken);
}

void TQGfxScriptParser::ReadFloats(float* values, int count) {
    for (int i = 0; i < count; ++i) {
        NextValue();
        values[i] = tkn_float();
    }
}

void TQGfxScriptParser::ReadRect(float* x, float* y, float* w, float* h) {
    float rect[4];
    ReadFloats(rect, 4);
    *x = rect[0];
    *y = rect[1];
    *w = rect[2];
    *h = rect[3];
}

void TQGfxScriptParser::ReadInts(int* values, int count) {
    for (int i = 0; i < count; ++i) {
        NextValue();
        values[i] = tkn_int();
    }
}

bool TQGfxScriptParser::ReadLook(int code, int* blend, DWORD* color, float* z) {
    switch (code) {
    case TTPAR_BLENDMODE:
        *blend = ReadFlagWords(*blend, false);
        return true;
    case TTPAR_COLOR:
        NextValue();
        *color = tkn_hex();
        return true;
    case TTPAR_ZORDER:
        ReadFloats(z, 1);
        return true;
    default:
        return false;
    }
}

bool TQGfxScriptParser::ReadSpriteParameter(RSprite* sprite, int code) {
    switch (code) {
    case TTPAR_TEXTURE:
        ReadName(sprite->texture);
        return true;
    case TTPAR_RECT:
        ReadRect(&sprite->tx, &sprite->ty, &sprite->w, &sprite->h);
        return true;
    case TTPAR_HOTSPOT: {
        float hot[2];
        ReadFloats(hot, 2);
        sprite->hotx = hot[0];
        sprite->hoty = hot[1];
        return true;
    }
    case TTPAR_FLIP:
        NextValue();
        sprite->bXFlip = tkn_bool();
        NextValue();
        sprite->bYFlip = tkn_bool();
        return true;
    default:
        return ReadLook(code, &sprite->blend, &sprite->color, &sprite->z);
    }
}

bool TQGfxScriptParser::ReadAnimationParameter(RAnimation* animation, int code) {
    switch (code) {
    case TTPAR_FRAMES:
        ReadInts(&animation->frames, 1);
        return true;
    case TTPAR_FPS:
        ReadFloats(&animation->fps, 1);
        return true;
    case TTPAR_MODE:
        animation->mode = ReadFlagWords(animation->mode, true);
        return true;
    default:
        return ReadSpriteParameter(animation, code);
    }
}

bool TQGfxScriptParser::ReadTargetParameter(RTarget* target, int code) {
    switch (code) {
    case TTPAR_SIZE: {
        int size[2];
        ReadInts(size, 2);
        target->width = size[0];
        target->height = size[1];
        return true;
    }
    case TTPAR_ZBUFFER:
        NextValue();
        target->zbuffer = tkn_bool();
        return true;
    default:
        return false;
    }
}

bool TQGfxScriptParser::ReadFontParameter(RFont* font, int code) {
    switch (code) {
    case TTPAR_SCALE:
        ReadFloats(&font->scale, 1);
        return true;
    case TTPAR_ROTATION:
        ReadFloats(&font->rotation, 1);
        return true;
    case TTPAR_TRACKING:
        ReadFloats(&font->tracking, 1);
        return true;
    default:
        return ReadLook(code, &font->blend, &font->color, &font->z);
    }
}

bool TQGfxScriptParser::ReadParticleParameter(RParticle* particle, int code) {
    switch (code) {
    case TTPAR_SPRITE:
        ReadName(particle->sprite);
        return true;
    case TTPAR_FPS:
        ReadFloats(&particle->fps, 1);
        return true;
    default:
        return false;
    }
}

bool TQGfxScriptParser::ReadDistortParameter(RDistort* mesh, int code) {
    switch (code) {
    case TTPAR_TEXTURE:
        ReadName(mesh->texture);
        return true;
    case TTPAR_RECT:
        ReadRect(&mesh->tx, &mesh->ty, &mesh->w, &mesh->h);
        return true;
    case TTPAR_MESH: {
        int nodes[2];
        ReadInts(nodes, 2);
        mesh->cols = nodes[0];
        mesh->rows = nodes[1];
        return true;
    }
    default:
        return ReadLook(code, &mesh->blend, &mesh->color, &mesh->z);
    }
}

bool TQGfxScriptParser::ReadParameter(ResDesc* desc, int type, int code) {
    if (code == TTPAR_RESGROUP) {
        ReadInts(&desc->resgroup, 1);
        return true;
    }
    char* fileName = FileNameField(desc, type);
    if (code == TTPAR_FILENAME && fileName) {
        ReadName(fileName);
        return true;
    }
    switch (type) {
    case TQGFX_RES_TARGET:
        return ReadTargetParameter(static_cast<RTarget*>(desc), code);
    case TQGFX_RES_SPRITE:
        return ReadSpriteParameter(static_cast<RSprite*>(desc), code);
    case TQGFX_RES_ANIMATION:
        return ReadAnimationParameter(static_cast<RAnimation*>(desc), code);
    case TQGFX_RES_FONT:
        return ReadFontParameter(static_cast<RFont*>(desc), code);
    case TQGFX_RES_PARTICLE:
        return ReadParticleParameter(static_cast<RParticle*>(desc), code);
    case TQGFX_RES_DISTORT:
        return ReadDistortParameter(static_cast<RDistort*>(desc), code);
    default:
        return false;
    }
}
