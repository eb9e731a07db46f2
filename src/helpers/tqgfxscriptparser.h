/// @file
/// TQGfxScriptParser: cuts a resource script into tokens and reads its declarations into a
/// TQGfxResourceManager without creating anything.
///
/// A script is a list of blocks:
///
///     Include "other.res"
///     Sprite name [: base] { texture = tex rect = 0, 0, 32, 32 color = FFFF0000 }
///
/// where the block keyword is one of Resource, Texture, Sound, Music, Stream, Target, Sprite,
/// Animation, Font, Particle and Distortion. Each parameter is its name, a separator ("=" or ":")
/// and its value; values of several numbers or words are separated in the same way ("," or "=").
/// A ";" starts a comment running to the end of the line. Keywords match as prefixes
/// (case-sensitive); names that begin like a keyword must be quoted.
///
/// Errors go to the device log as "<script>, line <n>: <message>" and parsing goes on. The parser
/// holds one device reference for its life.
#pragma once

#include "device/tqgfxdevice.h"

class TQGfxResourceManager;
class ResDesc;
class RSprite;
class RAnimation;
class RTarget;
class RFont;
class RParticle;
class RDistort;

/// Token codes returned by GetToken.
enum TQGfxScriptToken {
    TTEND = 1,
    TTNUMBER = 2,
    TTSTRING = 3,
    TTBOOL = 4,
    TTEQUALS = 5,
    TTSEPARATOR = 6,
    TTCOMMA = 7,
    TTOPENBLOCK = 8,
    TTCLOSEBLOCK = 9,
    /// Block keywords: Include, then the resource types (type = code - TTRES_INCLUDE).
    TTRES_INCLUDE = 11,
    TTRES_RESOURCE = 12,
    TTRES_DISTORT = 22,
    /// Parameter names.
    TTPAR_FILENAME = 25,
    TTPAR_RESGROUP = 26,
    TTPAR_SIZE = 27,
    TTPAR_ZBUFFER = 28,
    TTPAR_TEXTURE = 29,
    TTPAR_RECT = 30,
    TTPAR_HOTSPOT = 31,
    TTPAR_BLENDMODE = 32,
    TTPAR_COLOR = 33,
    TTPAR_ZORDER = 34,
    TTPAR_FLIP = 35,
    TTPAR_SCALE = 36,
    TTPAR_ROTATION = 37,
    TTPAR_FRAMES = 38,
    TTPAR_FPS = 39,
    TTPAR_MODE = 40,
    TTPAR_TRACKING = 41,
    TTPAR_SPRITE = 42,
    TTPAR_MESH = 43,
    /// Value words of blendmode and mode.
    TTCON_COLORMUL = 46,
    TTCON_COLORADD = 47,
    TTCON_ALPHABLEND = 48,
    TTCON_ALPHAADD = 49,
    TTCON_ZWRITE = 50,
    TTCON_NOZWRITE = 51,
    TTCON_FORWARD = 52,
    TTCON_REVERSE = 53,
    TTCON_PINGPONG = 54,
    TTCON_NOPINGPONG = 55,
    TTCON_LOOP = 56,
    TTCON_NOLOOP = 57,
    TTCON_CIRCLE = 58,
    TTCON_RECT = 59,
    TTCON_ALPHA = 60
};

/// Length of a token's text, terminator included; longer tokens are cut.
#define TQGFX_TOKEN_SIZE 128

/// Reader of resource scripts: tokens, and the whole script into a manager.
class TQGfxScriptParser {
public:
    /// A parser at the start of `text` (NUL-terminated, not copied), line 1. `scriptName` is kept
    /// for messages and must outlive the parser.
    TQGfxScriptParser(const char* scriptName, char* text);
    TQGfxScriptParser(const TQGfxScriptParser&) = delete;
    TQGfxScriptParser& operator=(const TQGfxScriptParser&) = delete;
    ~TQGfxScriptParser();

    /// Reads the next token and returns its code; TTEND (empty text) at the end, every time.
    int GetToken();
    /// Moves back to the start of the current token, so that GetToken reads it again.
    void put_back();

    /// The current token as text, atoi, atof, a boolean (text begins with "t") and a hex value.
    char* tkn_string() { return m_szToken; }
    /// The current token as a decimal integer (atoi).
    int tkn_int() const;
    /// The current token as a number (atof).
    float tkn_float() const;
    /// True when the token's text begins with "t".
    bool tkn_bool() const;
    /// Hex digits in either case; any character above "F" counts as 15.
    DWORD tkn_hex() const;

    /// Logs "<script>, line <n>: <before>'<token>'<after>" ("<EOF>" for an empty token).
    void ScriptError(const char* before, const char* after);

    /// Parses the script `scriptName` into `manager`. `parser` is the including script's parser
    /// (NULL for a top-level script); errors about the named script itself are reported through
    /// it. A script already in the manager's script list is not read again. A script read from one
    /// of the device's zip packs holds a pack's names, and so do the scripts it includes: they and
    /// the files they name are kept to the game's folders (ResDesc::packnames).
    static void ParseScript(TQGfxResourceManager* manager, TQGfxScriptParser* parser, const char* scriptName);

    /// The line the reading position is on, from 1.
    int GetLine() const { return m_nLine; }

private:
    void SkipSpaceAndComments();
    // Stores the token text [start, end), cut to the field's size, and moves the position to end.
    int SetToken(int code, const char* start, const char* end);
    int ReadNumber();
    int ReadQuotedString();
    int ReadKeywordOrWord();
    // Reads the bare word that starts at the current position.
    int ReadWord();

    // Declarations.
    void ParseBody(TQGfxResourceManager* manager);
    void ParseResource(TQGfxResourceManager* manager, int type);
    // Skips tokens up to the next block keyword or the end, which is put back.
    void SkipToNextBlock();
    // Skips tokens up to a parameter name, a block keyword, "}" or the end, which is put back.
    void SkipToNextParameter();
    // Reads parameters up to "}" into desc.
    void ParseParameters(ResDesc* desc, int type);
    // Reads one parameter whose name token was just read; false when the type has no such one.
    bool ReadParameter(ResDesc* desc, int type, int code);
    // One separator token (not checked) and the value token after it.
    void NextValue();
    // Separator-and-word pairs changing bits of `value`: blend-mode words, or an animation's mode
    // words. Returns the new value.
    int ReadFlagWords(int value, bool modeWords);
    // Value readers: a name into a name field, then `count` numbers.
    void ReadName(char* field);
    void ReadFloats(float* values, int count);
    // The four values of rect: x, y, width, height.
    void ReadRect(float* x, float* y, float* w, float* h);
    void ReadInts(int* values, int count);
    // Parameters of each type; false when the type has no parameter `code`.
    bool ReadLook(int code, int* blend, DWORD* color, float* z);
    bool ReadSpriteParameter(RSprite* sprite, int code);
    bool ReadAnimationParameter(RAnimation* animation, int code);
    bool ReadTargetParameter(RTarget* target, int code);
    bool ReadFontParameter(RFont* font, int code);
    bool ReadParticleParameter(RParticle* particle, int code);
    bool ReadDistortParameter(RDistort* mesh, int code);

    int m_nTokenType;
    char m_szToken[TQGFX_TOKEN_SIZE];
    const char* m_pScript;
    const char* m_szScriptName;
    int m_nLine;
    const char* m_pTokenStart;
    TQGfxDevice* m_pDevice;
    // The script came from a zip pack or was named by such a script: its names are a pack's.
    bool m_bPackNames;
};
