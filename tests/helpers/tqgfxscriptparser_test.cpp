// The resource script parser: tokens, every resource type and its parameters, bases, includes,
// and the messages and recovery for malformed scripts.
#include "helpertestsupport.h"

#include "base/tqlog.h"

#include "helpers/ranimation.h"
#include "helpers/rdistort.h"
#include "helpers/reffect.h"
#include "helpers/rfont.h"
#include "helpers/rmusic.h"
#include "helpers/rparticle.h"
#include "helpers/rresource.h"
#include "helpers/rstream.h"
#include "helpers/rtarget.h"
#include "helpers/rtexture.h"
#include "helpers/tqgfxresourcemanager.h"
#include "helpers/tqgfxscriptparser.h"

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace {

class ScriptParserTest : public HelperTest {
protected:
    // Writes `text` as script `name` and loads it into a new manager.
    TQGfxResourceManager* Load(const std::string& text, const std::string& name = "main.res") {
        WriteFile(name, text);
        manager = new TQGfxResourceManager(Path(name).c_str());
        return manager;
    }

    void TearDown() override {
        delete manager;
        HelperTest::TearDown();
    }

    template <class T> T* Find(int type, const char* name) {
        return static_cast<T*>(manager->FindRes(type, name));
    }

    // Every (code, text) pair of `text` up to and including the end.
    std::vector<std::pair<int, std::string>> Tokens(const char* text) {
        std::string copy = text;
        TQGfxScriptParser parser("tokens", &copy[0]);
        std::vector<std::pair<int, std::string>> tokens;
        int code;
        do {
            code = parser.GetToken();
            tokens.emplace_back(code, parser.tkn_string());
        } while (code != TTEND && tokens.size() < 100);
        return tokens;
    }

    TQGfxResourceManager* manager = nullptr;
};

} // namespace

TEST_F(ScriptParserTest, TokensOfEveryKind) {
    std::vector<std::pair<int, std::string>> expected = {
        {13, "Texture"},    {TTSTRING, "s"},     {TTEQUALS, "="},    {TTSTRING, "two words"},
        {TTNUMBER, "12.5"}, {TTNUMBER, "-3"},    {TTBOOL, "true"},   {TTOPENBLOCK, "{"},
        {TTSTRING, "a"},    {TTSEPARATOR, ":"},  {TTSTRING, "b"},    {TTCOMMA, ","},
        {TTSTRING, "c"},    {TTCLOSEBLOCK, "}"}, {TTSTRING, "FF00"}, {TTCON_NOLOOP, "NOLOOP"},
        {TTPAR_FPS, "fps"}, {TTEND, ""}};
    EXPECT_EQ(Tokens("Textures = \"two words\" 12.5 -3 ; a comment } {\r\n true {a:b,c} FF00 NOLOOP fps"),
              expected);
    // Keywords are case-sensitive; a word ends at the first delimiter.
    std::vector<std::pair<int, std::string>> words = {
        {TTSTRING, "texturE"}, {TTPAR_TEXTURE, "texture"}, {TTSTRING, "_x"}, {TTEQUALS, "="}, {TTEND, ""}};
    EXPECT_EQ(Tokens("texturE texture_x="), words);
}

TEST_F(ScriptParserTest, LinesStringsAndPutBack) {
    std::string text = "one\n\"open string\nSprite ; c\n\n  \"x y\" tail";
    TQGfxScriptParser parser("s", &text[0]);
    EXPECT_EQ(parser.GetToken(), TTSTRING);
    EXPECT_EQ(parser.GetLine(), 1);
    // An unterminated string ends at the line end.
    EXPECT_EQ(parser.GetToken(), TTSTRING);
    EXPECT_STREQ(parser.tkn_string(), "open string");
    EXPECT_EQ(parser.GetToken(), TTRES_RESOURCE + 6);
    EXPECT_EQ(parser.GetLine(), 3);
    EXPECT_EQ(parser.GetToken(), TTSTRING);
    EXPECT_EQ(parser.GetLine(), 5);
    // A quoted string put back is read again whole.
    parser.put_back();
    EXPECT_EQ(parser.GetToken(), TTSTRING);
    EXPECT_STREQ(parser.tkn_string(), "x y");
    EXPECT_EQ(parser.GetToken(), TTSTRING);
    EXPECT_STREQ(parser.tkn_string(), "tail");
    EXPECT_EQ(parser.GetToken(), TTEND);
    EXPECT_EQ(parser.GetToken(), TTEND);
}

TEST_F(ScriptParserTest, LongTokensAreCutAndReadingGoesOn) {
    std::string text = std::string(300, 'w') + " next";
    TQGfxScriptParser parser("s", &text[0]);
    EXPECT_EQ(parser.GetToken(), TTSTRING);
    EXPECT_EQ(std::string(parser.tkn_string()), std::string(TQGFX_TOKEN_SIZE - 1, 'w'));
    EXPECT_EQ(parser.GetToken(), TTSTRING);
    EXPECT_STREQ(parser.tkn_string(), "next");
}

TEST_F(ScriptParserTest, TokenValues) {
    std::string text = "FF00FF00 ab 0x10 zz -7 2.5 tx f";
    TQGfxScriptParser parser("s", &text[0]);
    parser.GetToken();
    EXPECT_EQ(parser.tkn_hex(), 0xFF00FF00u);
    parser.GetToken();
    EXPECT_EQ(parser.tkn_hex(), 0xABu);
    parser.GetToken(); // the number 0; the x starts a word
    EXPECT_EQ(parser.tkn_hex(), 0u);
    parser.GetToken();
    EXPECT_STREQ(parser.tkn_string(), "x10");
    parser.GetToken();
    EXPECT_EQ(parser.tkn_hex(), 0xFFu); // letters past F count as 15
    parser.GetToken();
    EXPECT_EQ(parser.tkn_int(), -7);
    parser.GetToken();
    EXPECT_FLOAT_EQ(parser.tkn_float(), 2.5f);
    parser.GetToken();
    EXPECT_TRUE(parser.tkn_bool());
    parser.GetToken();
    EXPECT_FALSE(parser.tkn_bool());
}

TEST_F(ScriptParserTest, EveryResourceTypeWithItsParameters) {
    Load("Resource raw { filename = data.bin resgroup = 3 }\n"
         "Texture tex { filename = \"art/t.png\" resgroup = 1 }\n"
         "Sound snd { filename = s.wav }\n"
         "Music mus { filename = m.xm }\n"
         "Stream str { filename = o.ogg }\n"
         "Target rt { size = 128, 64 zbuffer = true resgroup = 2 }\n"
         "Sprite spr { texture = tex rect = 1, 2, 30, 40 hotspot = 15, 20 blendmode = COLORADD\n"
         "  color = A0B0C0D0 zorder = 0.25 flip = true, false }\n"
         "Animation anim { texture = tex rect = 0, 0, 8, 8 frames = 6 fps = 24.5 mode = REVERSE, NOLOOP }\n"
         "Font fnt { filename = f.fnt blendmode = ZWRITE color = FF112233 zorder = 0.1 scale = 2\n"
         "  rotation = 0.5 tracking = 3 }\n"
         "Particle par { filename = p.psi sprite = spr fps = 30 }\n"
         "Distortion dis { texture = tex rect = 4, 5, 60, 70 mesh = 8, 6 blendmode = ALPHAADD color = "
         "FF00FF00\n"
         "  zorder = 0.75 }\n");
    RResource* raw = Find<RResource>(TQGFX_RES_RESOURCE, "raw");
    ASSERT_NE(raw, nullptr);
    EXPECT_STREQ(raw->filename, "data.bin");
    EXPECT_EQ(raw->resgroup, 3);
    EXPECT_EQ(raw->handle, 0u);
    ASSERT_NE(Find<RTexture>(TQGFX_RES_TEXTURE, "tex"), nullptr);
    EXPECT_STREQ(Find<RTexture>(TQGFX_RES_TEXTURE, "tex")->filename, "art/t.png");
    EXPECT_EQ(Find<RTexture>(TQGFX_RES_TEXTURE, "tex")->resgroup, 1);
    ASSERT_NE(Find<REffect>(TQGFX_RES_EFFECT, "snd"), nullptr);
    EXPECT_STREQ(Find<REffect>(TQGFX_RES_EFFECT, "snd")->filename, "s.wav");
    ASSERT_NE(Find<RMusic>(TQGFX_RES_MUSIC, "mus"), nullptr);
    EXPECT_STREQ(Find<RMusic>(TQGFX_RES_MUSIC, "mus")->filename, "m.xm");
    ASSERT_NE(Find<RStream>(TQGFX_RES_STREAM, "str"), nullptr);
    EXPECT_STREQ(Find<RStream>(TQGFX_RES_STREAM, "str")->filename, "o.ogg");

    RTarget* rt = Find<RTarget>(TQGFX_RES_TARGET, "rt");
    ASSERT_NE(rt, nullptr);
    EXPECT_EQ(rt->width, 128);
    EXPECT_EQ(rt->height, 64);
    EXPECT_TRUE(rt->zbuffer);
    EXPECT_EQ(rt->resgroup, 2);

    RSprite* spr = Find<RSprite>(TQGFX_RES_SPRITE, "spr");
    ASSERT_NE(spr, nullptr);
    EXPECT_STREQ(spr->texture, "tex");
    EXPECT_EQ(spr->tx, 1.0f);
    EXPECT_EQ(spr->ty, 2.0f);
    EXPECT_EQ(spr->w, 30.0f);
    EXPECT_EQ(spr->h, 40.0f);
    EXPECT_EQ(spr->hotx, 15.0f);
    EXPECT_EQ(spr->hoty, 20.0f);
    EXPECT_EQ(spr->blend, 3);
    EXPECT_EQ(spr->color, 0xA0B0C0D0u);
    EXPECT_EQ(spr->z, 0.25f);
    EXPECT_TRUE(spr->bXFlip);
    EXPECT_FALSE(spr->bYFlip);

    RAnimation* anim = Find<RAnimation>(TQGFX_RES_ANIMATION, "anim");
    ASSERT_NE(anim, nullptr);
    EXPECT_EQ(anim->w, 8.0f);
    EXPECT_EQ(anim->frames, 6);
    EXPECT_EQ(anim->fps, 24.5f);
    EXPECT_EQ(anim->mode, 1); // 4 | REVERSE, without LOOP
    EXPECT_EQ(anim->blend, 2);

    RFont* fnt = Find<RFont>(TQGFX_RES_FONT, "fnt");
    ASSERT_NE(fnt, nullptr);
    EXPECT_STREQ(fnt->filename, "f.fnt");
    EXPECT_EQ(fnt->blend, 6);
    EXPECT_EQ(fnt->color, 0xFF112233u);
    EXPECT_EQ(fnt->z, 0.1f);
    EXPECT_EQ(fnt->scale, 2.0f);
    EXPECT_EQ(fnt->rotation, 0.5f);
    EXPECT_EQ(fnt->tracking, 3.0f);

    RParticle* par = Find<RParticle>(TQGFX_RES_PARTICLE, "par");
    ASSERT_NE(par, nullptr);
    EXPECT_STREQ(par->filename, "p.psi");
    EXPECT_STREQ(par->sprite, "spr");
    EXPECT_EQ(par->fps, 30.0f);

    RDistort* dis = Find<RDistort>(TQGFX_RES_DISTORT, "dis");
    ASSERT_NE(dis, nullptr);
    EXPECT_STREQ(dis->texture, "tex");
    EXPECT_EQ(dis->tx, 4.0f);
    EXPECT_EQ(dis->h, 70.0f);
    EXPECT_EQ(dis->cols, 8);
    EXPECT_EQ(dis->rows, 6);
    EXPECT_EQ(dis->blend, 0);
    EXPECT_EQ(dis->color, 0xFF00FF00u);
    EXPECT_EQ(dis->z, 0.75f);

    // A clean script logs nothing and leaves no script records behind.
    EXPECT_EQ(LogLines(), std::vector<std::string>());
    EXPECT_EQ(manager->res[TQGFX_RES_SCRIPT], nullptr);
}

TEST_F(ScriptParserTest, DefaultsAndBlockWords) {
    Load("Target t {}\nAnimation a {}\nFont f {}\nParticle p {}\nDistortion d {}\n"
         "Sprite s { blendmode = COLORADD, ALPHAADD }\nAnimation m { mode = PINGPONG, NOLOOP }\n"
         "Sprite w { blendmode = ALPHAADD = ZWRITE, NOSUCH zorder = 0.5 }\n");
    RTarget* t = Find<RTarget>(TQGFX_RES_TARGET, "t");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 256);
    EXPECT_EQ(t->height, 256);
    EXPECT_FALSE(t->zbuffer);
    RAnimation* a = Find<RAnimation>(TQGFX_RES_ANIMATION, "a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->frames, 1);
    EXPECT_EQ(a->fps, 12.0f);
    EXPECT_EQ(a->mode, 4);
    EXPECT_EQ(a->blend, 2);
    EXPECT_EQ(a->color, 0xFFFFFFFFu);
    EXPECT_EQ(a->z, 0.5f);
    RFont* f = Find<RFont>(TQGFX_RES_FONT, "f");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->scale, 1.0f);
    EXPECT_EQ(f->blend, 2);
    EXPECT_EQ(Find<RParticle>(TQGFX_RES_PARTICLE, "p")->fps, 50.0f);
    RDistort* d = Find<RDistort>(TQGFX_RES_DISTORT, "d");
    EXPECT_EQ(d->cols, 2);
    EXPECT_EQ(d->rows, 2);
    EXPECT_EQ(Find<RSprite>(TQGFX_RES_SPRITE, "s")->blend, 1);
    EXPECT_EQ(Find<RAnimation>(TQGFX_RES_ANIMATION, "m")->mode, 2);
    EXPECT_EQ(Find<RSprite>(TQGFX_RES_SPRITE, "w")->blend, 4);
    EXPECT_TRUE(LogContains("main.res, line 8: Unsupported value 'NOSUCH'."));
}

TEST_F(ScriptParserTest, BaseResources) {
    Load(
        "Sprite base { texture = tex rect = 1, 2, 3, 4 hotspot = 5, 6 blendmode = COLORADD color = FF010203\n"
        "  zorder = 0.3 flip = true, true resgroup = 7 }\n"
        "Sprite derived : base { rect = 10, 20, 30, 40 }\n"
        "Sprite orphan : nobase { zorder = 0.9 }\n"
        "Texture base { filename = b.png }\n"
        "Texture other : base {}\n");
    RSprite* derived = Find<RSprite>(TQGFX_RES_SPRITE, "derived");
    ASSERT_NE(derived, nullptr);
    EXPECT_STREQ(derived->texture, "tex");
    EXPECT_EQ(derived->tx, 10.0f);
    EXPECT_EQ(derived->h, 40.0f);
    EXPECT_EQ(derived->hotx, 5.0f);
    EXPECT_EQ(derived->blend, 3);
    EXPECT_EQ(derived->color, 0xFF010203u);
    EXPECT_EQ(derived->z, 0.3f);
    EXPECT_TRUE(derived->bYFlip);
    EXPECT_EQ(derived->resgroup, 7);
    EXPECT_EQ(derived->handle, 0u);
    // The base is left as it was.
    EXPECT_EQ(Find<RSprite>(TQGFX_RES_SPRITE, "base")->tx, 1.0f);

    EXPECT_TRUE(LogContains("main.res, line 4: Base resource 'nobase' is not defined."));
    RSprite* orphan = Find<RSprite>(TQGFX_RES_SPRITE, "orphan");
    ASSERT_NE(orphan, nullptr);
    EXPECT_EQ(orphan->blend, 2);
    EXPECT_EQ(orphan->z, 0.9f);
    // A base is looked up among resources of the same type only.
    EXPECT_STREQ(Find<RTexture>(TQGFX_RES_TEXTURE, "other")->filename, "b.png");
    EXPECT_EQ(LogLines().size(), 1u);
}

TEST_F(ScriptParserTest, MalformedDeclarationsAreReportedAndSkipped) {
    Load("Sprite a { zorder = 0.1 }\n"
         "Sprite a { zorder = 0.2 }\n"                    // 2: duplicate
         "Texture a { filename = a.png }\n"               // 3: another type: fine
         "Sprite b { color = 0xFF00FF00 zorder = 0.4 }\n" // 4: 0x...
         "Sprite c { zorder = 0.5\n"                      // 5: no closing brace
         "Sprite d { frames = 3 rect = 1,2,3,4 }\n"       // 6: not a sprite parameter
         "junk more junk\n"                               // 7: no block keyword
         "Sprite e zorder = 1 }\n"                        // 8: no opening brace
         "Sprite f { }\n"
         "Sprite g { rectt = 1, 2, 3, 4 zorder = 0.3 }\n"); // 10: a misspelt parameter
    EXPECT_EQ(Find<RSprite>(TQGFX_RES_SPRITE, "a")->z, 0.1f);
    EXPECT_TRUE(LogContains("main.res, line 2: Resource 'a' of the same type already has been defined."));
    EXPECT_NE(Find<RTexture>(TQGFX_RES_TEXTURE, "a"), nullptr);
    RSprite* b = Find<RSprite>(TQGFX_RES_SPRITE, "b");
    EXPECT_EQ(b->color, 0u);
    EXPECT_EQ(b->z, 0.4f);
    EXPECT_TRUE(LogContains("main.res, line 4: Unsupported resource parameter 'xFF00FF00'."));
    EXPECT_EQ(Find<RSprite>(TQGFX_RES_SPRITE, "c")->z, 0.5f);
    EXPECT_TRUE(LogContains("main.res, line 6: '}' missed, 'Sprite' encountered."));
    RSprite* d = Find<RSprite>(TQGFX_RES_SPRITE, "d");
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->w, 3.0f);
    EXPECT_TRUE(LogContains("main.res, line 6: Unsupported resource parameter 'frames'."));
    EXPECT_EQ(Find<RSprite>(TQGFX_RES_SPRITE, "e"), nullptr);
    EXPECT_TRUE(LogContains("main.res, line 8: Illegal resource syntax, 'zorder' found; '{' expected."));
    EXPECT_TRUE(LogContains("main.res, line 7: Unrecognized resource specificator 'junk'."));
    EXPECT_NE(Find<RSprite>(TQGFX_RES_SPRITE, "f"), nullptr);
    RSprite* g = Find<RSprite>(TQGFX_RES_SPRITE, "g");
    EXPECT_EQ(g->w, 0.0f);
    EXPECT_EQ(g->z, 0.3f);
    EXPECT_TRUE(LogContains("main.res, line 10: Unsupported resource parameter 'rectt'."));
    EXPECT_EQ(LogLines().size(), 7u);
}

TEST_F(ScriptParserTest, EndOfTextInsideABlock) {
    Load("Sprite a { rect = 1, 2");
    RSprite* a = Find<RSprite>(TQGFX_RES_SPRITE, "a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->ty, 2.0f);
    EXPECT_TRUE(LogContains("main.res, line 1: '}' missed, '<EOF>' encountered."));
}

TEST_F(ScriptParserTest, IncludesAreReadOnce) {
    WriteFile("sub/second.res", "Texture t2 { filename = two.png }\nInclude \"" + Path("main.res") + "\"\n");
    Load("Include \"" + Path("sub/second.res") + "\"\nTexture t1 {}\nInclude \"" + Path("sub/second.res") +
         "\"\nInclude missing.res\n");
    EXPECT_NE(Find<RTexture>(TQGFX_RES_TEXTURE, "t1"), nullptr);
    EXPECT_NE(Find<RTexture>(TQGFX_RES_TEXTURE, "t2"), nullptr);
    // The circular include and the second include are refused, so nothing is declared twice.
    EXPECT_TRUE(LogContains(Path("sub/second.res") + ", line 2: Script '" + Path("main.res") +
                            "' already has been parsed."));
    EXPECT_TRUE(LogContains(Path("main.res") + ", line 3: Script '" + Path("sub/second.res") +
                            "' already has been parsed."));
    EXPECT_TRUE(LogContains(Path("main.res") + ", line 4: Script 'missing.res' not found."));
    EXPECT_EQ(LogCount("same type"), 0);
    EXPECT_EQ(manager->res[TQGFX_RES_SCRIPT], nullptr);
}

TEST_F(ScriptParserTest, MissingScriptAndReloading) {
    manager = new TQGfxResourceManager(Path("none.res").c_str());
    EXPECT_TRUE(LogContains("Script '" + Path("none.res") + "' not found."));
    WriteFile("a.res", "Sprite one {}\nSprite two {}\n");
    manager->ChangeScript(Path("a.res").c_str());
    // The most recently declared comes first.
    ASSERT_NE(manager->res[TQGFX_RES_SPRITE], nullptr);
    EXPECT_STREQ(manager->res[TQGFX_RES_SPRITE]->name, "two");
    EXPECT_STREQ(manager->res[TQGFX_RES_SPRITE]->next->name, "one");
    // Loading the same script again without ChangeScript finds its names taken.
    manager->LoadScript(Path("a.res").c_str());
    EXPECT_EQ(LogCount("already has been defined"), 2);
    manager->ChangeScript(Path("a.res").c_str());
    EXPECT_EQ(LogCount("already has been defined"), 2);
    EXPECT_NE(manager->FindRes(TQGFX_RES_SPRITE, "one"), nullptr);
}

// A relative script name starts at the program's folder: a game started elsewhere finds in the
// error log, once, which file was tried.
TEST_F(ScriptParserTest, MissingScriptIsLoggedOnceWithTheFullPathTried) {
    TQLogCapture errors(g_tqLogError);
    manager = new TQGfxResourceManager("absent-script.res");
    const std::string folder =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().filename().string();
    ASSERT_EQ(errors.Lines().size(), 1u);
    EXPECT_TRUE(errors.Contains("Script 'absent-script.res' not found. [path="));
    EXPECT_TRUE(errors.Contains("\\" + folder + "\\absent-script.res]"));
}

TEST_F(ScriptParserTest, TruncatedAndGarbageScriptsEnd) {
    const std::string script = "Include x.res\nSprite s : b { texture = \"t\" rect = 1, 2, 3, 4 blendmode = "
                               "COLORADD, ZWRITE color = FF00FF00 flip = true, false }\n"
                               "Animation a { mode = LOOP frames = 4 }\nTarget t { size = 8, 8 }\n";
    for (size_t length = 0; length <= script.size(); length += 3) {
        WriteFile("cut.res", script.substr(0, length));
        TQGfxResourceManager cut(Path("cut.res").c_str());
    }
    std::string garbage;
    for (int i = 0; i < 4000; ++i)
        garbage.push_back(static_cast<char>((i * 7919 + 13) % 255 + 1));
    garbage += "{{{ }}} = : , \"";
    WriteFile("garbage.res", garbage);
    TQGfxResourceManager noise(Path("garbage.res").c_str());
    EXPECT_GT(LogLines().size(), 0u);
}
