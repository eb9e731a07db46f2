// Textures, targets, sounds, music and sprites through a started engine: caches, packs, copies,
// description files and a rendered scene.
#include "enginetestutil.h"
#include "packtestutil.h"
#include "support/scarcememory.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <new>
#include <random>

#include <minizip/zip.h>

#include "base/tqlog.h"
#include "device/tqgfxdevice.h"
#include "engine/tq2danimation.h"
#include "engine/tq2dglobal.h"
#include "engine/tq2dglobalmusic.h"
#include "engine/tq2dglobalsound.h"
#include "engine/tq2dglobaltexture.h"
#include "engine/tq2dmusic.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dparticle.h"
#include "engine/tq2dsound.h"
#include "engine/tq2dsprite.h"
#include "engine/tq2dtarget.h"
#include "platform/win32/video/tqvideo.h"

namespace {

// Size of the nothrow allocations to refuse (0: none): the cache trees' nodes.
std::atomic<size_t> g_refusedSize{0};

class RefuseTreeNodes {
public:
    explicit RefuseTreeNodes(size_t size) { g_refusedSize = size; }
    ~RefuseTreeNodes() { g_refusedSize = 0; }
};

// Size of the nothrow array allocations to refuse (0: none), after letting g_passedArrays through.
std::atomic<size_t> g_refusedArraySize{0};
std::atomic<int> g_passedArrays{0};

// Refuses the nothrow arrays of one size after the first `passed` of them.
class RefuseArrays {
public:
    RefuseArrays(size_t size, int passed) {
        g_passedArrays = passed;
        g_refusedArraySize = size;
    }
    ~RefuseArrays() { g_refusedArraySize = 0; }
};

} // namespace

void* operator new(size_t size, const std::nothrow_t&) noexcept {
    if (size == g_refusedSize)
        return nullptr;
    try {
        return ::operator new(size);
    } catch (...) {
        return nullptr;
    }
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    if (size == g_refusedArraySize && g_passedArrays-- <= 0)
        return nullptr;
    try {
        return ::operator new[](size);
    } catch (...) {
        return nullptr;
    }
}

namespace {

std::vector<uint32_t> Solid(int count, uint32_t color) {
    return std::vector<uint32_t>(static_cast<size_t>(count), color);
}

// Exposes the sprite's adjustments to the tests, as a derived animation would use them.
class AdjustableSprite : public TQ2DSprite {
public:
    using TQ2DSprite::TQ2DSprite;
    void SetScaleAdjust(float x, float y) { m_ptScaleAdjust = {x, y}; }
    void SetPosAdjust(float x, float y) { m_ptPosAdjust = {x, y}; }
    void OnRender(float x, float y, unsigned long) override {
        lastX = x;
        lastY = y;
    }
    float lastX = 0.0f, lastY = 0.0f;
};

using MediaTest = StartedEngineTest;

} // namespace

TEST_F(MediaTest, TextureCacheSharesOneTexturePerName) {
    WritePng(folder.Path("Sprites/A.png"), 4, 2, Solid(8, 0xFFFF0000));
    const std::string rel = folder.Relative();
    TQ2DTexture* a = new TQ2DTexture;
    EXPECT_EQ(a->Create(("/" + rel + "/sprites/a.png").c_str(), 0), 1);
    TQ2DTexture b((" pack//" + rel + "/SPRITES/A.PNG ").c_str(), 0);
    ASSERT_NE(a->GetTexture(), 0u);
    EXPECT_EQ(a->GetTexture(), b.GetTexture());
    EXPECT_EQ(a->GetWidth(true), 4u);
    const DWORD texture = a->GetTexture();
    TQ2DTexture copy(b);
    delete a;
    b.Delete();
    EXPECT_EQ(copy.GetTexture(), texture);
    const DWORD* pixels = copy.Lock(true); // still alive: the copy holds its own reference
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    copy.UnLock();
    copy.Delete();
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 0u);
    EXPECT_EQ(TQ2DTexture("//", 0).GetTexture(), 0u);
    EXPECT_EQ(TQ2DTexture("   ", 0).GetTexture(), 0u);
}

TEST_F(MediaTest, MemoryTexturesAreOwnedAndPixelOperationsWork) {
    const std::vector<unsigned char> image = PngBytes(2, 2, {0xFFFF00FF, 0xFF00FF00, 0xFFFF00FF, 0xFF0000FF});
    TQ2DTexture first(reinterpret_cast<const char*>(image.data()), static_cast<unsigned long>(image.size()));
    TQ2DTexture second(reinterpret_cast<const char*>(image.data()), static_cast<unsigned long>(image.size()));
    ASSERT_NE(first.GetTexture(), 0u);
    EXPECT_NE(first.GetTexture(), second.GetTexture());
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 0u);
    first.SetTransparentColor(0xFF00FF);
    const DWORD* pixels = first.Lock(true);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels[0], 0x00FF00FFu);
    EXPECT_EQ(pixels[1], 0xFF00FF00u);
    first.UnLock();
    TQ2DTexture empty;
    EXPECT_NE(empty.Create(3, 3), 0);
    empty.Clear(0x12345678);
    const DWORD* cleared = empty.Lock(true);
    ASSERT_NE(cleared, nullptr);
    EXPECT_EQ(cleared[8], 0x12345678u);
    empty.UnLock();
}

TEST_F(MediaTest, PacksComeFirstAndEmptyPackFilesFail) {
    const std::string pack = folder.Path("assets.pak");
    MakePack(folder, pack,
             {{"IMG/RED.PNG", PngBytes(2, 2, Solid(4, 0xFFFF0000))},
              {"IMG/EMPTY.PNG", {}},
              {"SND/EMPTY.WAV", {}},
              {"SND/HIT.WAV", WavBytes(2000)}});
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    TQ2DTexture red("img/red.png", 0);
    EXPECT_NE(red.GetTexture(), 0u);
    TQ2DTexture empty("img/empty.png", 0);
    EXPECT_EQ(empty.GetTexture(), 0u);
    TQ2DSound emptySound("snd/empty.wav", 0);
    EXPECT_EQ(emptySound.GetSound(), 0u);
    TQ2DMusic emptyMusic("snd/empty.wav", 0);
    EXPECT_EQ(emptyMusic.GetMusic(), 0u);
}

// A damaged image gives one line that names it: in a pack, on disk and from memory, for damage of
// every kind (cut short, bytes changed), and nothing else on standard error. Damage that leaves a
// readable image loads.
TEST_F(MediaTest, ADamagedImageSaysWhichFileOnce) {
    const std::vector<unsigned char> good = PngBytes(16, 16, Solid(256, 0xFF336699));
    std::mt19937 random(7);
    std::vector<std::vector<unsigned char>> damaged;
    for (int i = 0; i < 24; ++i) {
        std::vector<unsigned char> bytes = good;
        if (i % 2 == 0)
            bytes.resize(1 + random() % (bytes.size() - 1));
        else
            for (int flips = 0; flips < 4; ++flips)
                bytes[8 + random() % (bytes.size() - 8)] ^= static_cast<unsigned char>(1 + random() % 255);
        damaged.push_back(bytes);
    }
    std::vector<std::pair<std::string, std::vector<unsigned char>>> files;
    for (size_t i = 0; i < damaged.size(); ++i)
        files.push_back({"IMG/DAMAGED" + std::to_string(i) + ".PNG", damaged[i]});
    const std::string pack = folder.Path("damaged.pak");
    MakePack(folder, pack, files);
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    WriteFile(folder.Path("cut.png"), damaged[0]);
    const std::string onDisk = folder.Relative() + "/cut.png";
    // Loads a texture by name (or from the bytes, when given); true when it failed with exactly one
    // line naming `named` and saying what is wrong.
    auto failsOnceNaming = [](const std::string& name, const std::vector<unsigned char>* bytes,
                              const std::string& named) {
        testing::internal::CaptureStderr();
        TQLogCapture errors(g_tqLogError);
        TQ2DTexture texture;
        const int loaded = bytes ? texture.Create(reinterpret_cast<const char*>(bytes->data()), bytes->size())
                                 : texture.Create(name.c_str(), 0);
        const std::string other = testing::internal::GetCapturedStderr();
        const std::vector<std::string> lines = errors.Lines();
        if (loaded)
            return lines.empty() && other.empty();
        EXPECT_EQ(other, "") << name;
        EXPECT_EQ(lines.size(), 1u) << name;
        return lines.size() == 1 && other.empty() && lines[0].find("'" + named + "'") != std::string::npos &&
               lines[0].find("image") != std::string::npos;
    };
    for (size_t i = 0; i < damaged.size(); ++i) {
        const std::string name = "img/damaged" + std::to_string(i) + ".png";
        EXPECT_TRUE(failsOnceNaming(name, nullptr, name)) << name;
    }
    EXPECT_TRUE(failsOnceNaming(onDisk, nullptr, onDisk));
    EXPECT_TRUE(failsOnceNaming("", &damaged[0], std::to_string(damaged[0].size()) + " bytes in memory"));
}

// Memory running out at any allocation of an image's size on the way from the file to the texture
// (decoding, the texture, the conversion of an image without alpha) fails the load with one line
// naming it; nothing is cached and the game goes on: the same load works once memory is there.
TEST_F(MediaTest, ImageThatRunsOutOfMemoryFailsWithOneLine) {
    const int side = 128;
    const std::vector<uint32_t> pixels = Solid(side * side, 0xFF336699);
    const std::vector<unsigned char> rgba = PngBytes(side, side, pixels);
    const std::string pack = folder.Path("images.pak");
    MakePack(folder, pack, {{"IMG/RGBA.PNG", rgba}});
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    WriteFile(folder.Path("rgb.png"), PngBytes(side, side, pixels, false));
    const std::string rgb = folder.Relative() + "/rgb.png";
    const std::string inMemory = std::to_string(rgba.size()) + " bytes in memory";
    for (const std::string& name : {std::string("img/rgba.png"), rgb, inMemory}) {
        SCOPED_TRACE(name);
        int failures = 0;
        for (int after = 0; after < 20; ++after) {
            TQLogCapture errors(g_tqLogError);
            TQ2DTexture texture;
            int loaded;
            {
                RunOutOfMemory scarce(side * side, after);
                loaded = name == inMemory
                             ? texture.Create(reinterpret_cast<const char*>(rgba.data()), rgba.size())
                             : texture.Create(name.c_str(), 0);
            }
            const std::vector<std::string> lines = errors.Lines();
            if (loaded) {
                EXPECT_TRUE(lines.empty());
                EXPECT_EQ(texture.GetWidth(true), static_cast<DWORD>(side));
                break;
            }
            ++failures;
            EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 0u);
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_NE(lines[0].find("'" + name + "': out of memory for a 128x128 image"), std::string::npos)
                << lines[0];
        }
        EXPECT_GE(failures, name == rgb ? 4 : 2); // the image, the texture (and the conversion)
    }
}

// A damaged pack entry named as a texture gives one line naming the file and its pack: an entry of
// a zip pack that fails its CRC check, and an empty file in a registered pack.
TEST_F(MediaTest, DamagedPackEntriesSayWhichFileAndPackOnce) {
    const std::vector<unsigned char> png = PngBytes(8, 8, Solid(64, 0xFF00FF00));
    const std::string zipPath = folder.Path("damaged.zip");
    zipFile zip = zipOpen(zipPath.c_str(), APPEND_STATUS_CREATE);
    ASSERT_NE(zip, nullptr);
    zip_fileinfo info{};
    zipOpenNewFileInZip(zip, "img/crc.png", &info, nullptr, 0, nullptr, 0, nullptr, 0, 0);
    zipWriteInFileInZip(zip, png.data(), static_cast<unsigned>(png.size()));
    zipCloseFileInZip(zip);
    ASSERT_EQ(zipClose(zip, nullptr), ZIP_OK);
    std::string bytes;
    {
        std::ifstream in(zipPath, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const size_t at = bytes.find(std::string(png.begin(), png.end()));
    ASSERT_NE(at, std::string::npos);
    bytes[at + png.size() - 20] ^= 0x55;
    WriteFile(zipPath, std::vector<unsigned char>(bytes.begin(), bytes.end()));
    ASSERT_TRUE(g_pTQ2DDevice->Resource_AttachPack(zipPath.c_str(), nullptr));
    MakePack(folder, folder.Path("empty.pak"), {{"IMG/EMPTY.PNG", {}}});
    ASSERT_EQ(TQ2DPackAdd(folder.Path("empty.pak").c_str()), 1);
    for (const auto& [name, pack] : {std::pair<std::string, std::string>("img/crc.png", "damaged.zip"),
                                     std::pair<std::string, std::string>("img/empty.png", "empty.pak")}) {
        TQLogCapture errors(g_tqLogError);
        TQ2DTexture texture;
        EXPECT_EQ(texture.Create(name.c_str(), 0), 0);
        const std::vector<std::string> lines = errors.Lines();
        ASSERT_EQ(lines.size(), 1u) << name;
        EXPECT_NE(lines[0].find("'" + name + "'"), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(pack + "'"), std::string::npos) << lines[0];
    }
    g_pTQ2DDevice->Resource_RemoveAllPacks();
}

TEST_F(MediaTest, FailedCacheInsertionFreesOnceWithoutFalseMessages) {
    TQLogCapture errors(g_tqLogError);
    WritePng(folder.Path("b.png"), 2, 2, Solid(4, 0xFF00FF00));
    WriteFile(folder.Path("b.wav"), WavBytes(1000));
    const std::string texture = folder.Relative() + "/b.png";
    const std::string sound = folder.Relative() + "/b.wav";
    {
        RefuseTreeNodes refuse(sizeof(TQAVLTreeTmpl<TQ2DGlobalTexture>));
        TQ2DTexture refused(texture.c_str(), 0);
        EXPECT_EQ(refused.GetTexture(), 0u);
        TQ2DSound refusedSound(sound.c_str(), 0);
        EXPECT_EQ(refusedSound.GetSound(), 0u);
    }
    EXPECT_FALSE(errors.Contains("reference count"));
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 0u);
    TQ2DTexture loaded(texture.c_str(), 0);
    EXPECT_NE(loaded.GetTexture(), 0u);
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 1u);
}

TEST_F(MediaTest, TargetsGiveTextures) {
    TQ2DTarget target(30, 20, false);
    ASSERT_NE(static_cast<unsigned long>(target), 0ul);
    EXPECT_NE(target.GetTexture(), 0u);
    EXPECT_GE(target.GetWidth(false), 30u);
    TQ2DTarget copy(target);
    EXPECT_EQ(static_cast<unsigned long>(copy), 0ul);
    target.Delete();
    EXPECT_EQ(target.GetTexture(), 0u);
}

TEST_F(MediaTest, SoundCacheLoadsOnceAndFreesWithTheLastHolder) {
    WriteFile(folder.Path("Sound/Hit.wav"), WavBytes(4000));
    const std::string rel = folder.Relative();
    TQ2DSound* first = new TQ2DSound;
    EXPECT_EQ(first->Create((rel + "/sound/Hit.wav").c_str(), 0), 1);
    ASSERT_NE(first->GetSound(), 0u);
    TQ2DSound second(("/" + rel + "/SOUND/HIT.WAV ").c_str(), 0);
    TQ2DSound third(("x//" + rel + "/sound/hit.wav").c_str(), 0);
    EXPECT_EQ(second.GetSound(), first->GetSound());
    EXPECT_EQ(TQ2DGlobalSound::CachedCount(), 1u);
    TQ2DSound copy(third);
    delete first;
    second.Delete();
    third.Delete();
    EXPECT_EQ(TQ2DGlobalSound::CachedCount(), 1u);
    copy.Delete();
    EXPECT_EQ(TQ2DGlobalSound::CachedCount(), 0u);
}

TEST_F(MediaTest, SoundsAndMusicFromMemoryAreNeverCached) {
    const std::vector<unsigned char> wav = WavBytes(3000);
    const char* data = reinterpret_cast<const char*>(wav.data());
    const unsigned long size = static_cast<unsigned long>(wav.size());
    TQ2DSound first(data, size);
    TQ2DSound second(data, size);
    ASSERT_NE(first.GetSound(), 0u);
    EXPECT_NE(first.GetSound(), second.GetSound());
    TQ2DMusic music(data, size);
    ASSERT_NE(music.GetMusic(), 0u);
    TQ2DMusic copy(music);
    EXPECT_EQ(copy.GetMusic(), music.GetMusic());
    EXPECT_EQ(TQ2DGlobalSound::CachedCount(), 0u);
    EXPECT_EQ(TQ2DGlobalMusic::CachedCount(), 0u);
    music.Delete();
    copy.Play(); // the copy still holds the stream
    EXPECT_TRUE(copy.IsPlaying());
    EXPECT_EQ(TQ2DSound(nullptr, 0).GetSound(), 0u);
}

TEST_F(MediaTest, ChannelParametersMuteAndPlay) {
    WriteFile(folder.Path("beep.wav"), WavBytes(44100));
    TQ2DSound sound((folder.Relative() + "/beep.wav").c_str(), 0);
    sound.SetVolume(150);
    EXPECT_EQ(sound.GetVolume(), 100);
    sound.SetVolume(-5);
    EXPECT_EQ(sound.GetVolume(), 0);
    sound.SetPanning(-300);
    EXPECT_EQ(sound.GetPanning(), -100);
    sound.SetPitch(3.5f);
    sound.SetPitch(-1.0f); // ignored, as zero and NaN are
    EXPECT_EQ(sound.GetPitch(), 3.5f);
    TQ2DSoundMute(1);
    sound.Play();
    EXPECT_EQ(sound.GetChannel(), 0ul);
    TQ2DSoundMute(0);
    sound.Play();
    EXPECT_NE(sound.GetChannel(), 0ul);
    sound.Stop();
    EXPECT_EQ(sound.GetChannel(), 0ul);
    sound.StopAll();
}

TEST_F(MediaTest, MusicFromAPackKeepsItsImageWhileTheStreamLives) {
    const std::string pack = folder.Path("music.pak");
    MakePack(folder, pack, {{"MUSIC/LOOP.WAV", WavBytes(22050)}});
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    TQ2DMusic* first = new TQ2DMusic("music/loop.wav", 0);
    ASSERT_NE(first->GetMusic(), 0u);
    TQ2DMusic second("MUSIC/LOOP.WAV", 0);
    EXPECT_EQ(second.GetMusic(), first->GetMusic());
    delete first; // the stream is still shared: its memory must stay
    second.SetLoopMode(true);
    second.Play();
    EXPECT_TRUE(second.IsPlaying());
    TQ2DMusic copy;
    copy = second;
    second.Delete();
    EXPECT_EQ(TQ2DGlobalMusic::CachedCount(), 1u);
    copy.Delete();
    EXPECT_EQ(TQ2DGlobalMusic::CachedCount(), 0u);
}

TEST_F(MediaTest, MusicWithoutMemoryForItsImageFailsAndSaysSo) {
    const std::vector<unsigned char> wav = WavBytes(12345);
    const std::string pack = folder.Path("short.pak");
    MakePack(folder, pack, {{"MUSIC/SHORT.WAV", wav}});
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    TQLogCapture errors(g_tqLogError);
    TQ2DMusic music;
    {
        RefuseArrays refuse(wav.size(), 1); // the pack's copy of the file gets its memory
        EXPECT_EQ(music.Create("music/short.wav", 0), 0);
    }
    EXPECT_EQ(music.GetMusic(), 0u);
    EXPECT_EQ(TQ2DGlobalMusic::CachedCount(), 0u);
    const std::vector<std::string> lines = errors.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(errors.Contains("Stream buffer create fail. [lpszMusicFile='music/short.wav', dwSize=" +
                                std::to_string(wav.size())));
    EXPECT_EQ(music.Create("music/short.wav", 0), 1);
}

// A damaged sound or music, in a pack or on disk, fails with one line that names it and says why;
// the audio module writes none of its own.
TEST_F(MediaTest, DamagedSoundFailsWithOneLineNamingIt) {
    const std::string text = "RIFF$$$$WAVEfmt not a sound at all";
    const std::vector<unsigned char> damaged(text.begin(), text.end());
    const std::string pack = folder.Path("damaged.pak");
    MakePack(folder, pack, {{"SND/BROKEN.WAV", damaged}, {"MUSIC/BROKEN.OGG", damaged}});
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    WriteFile(folder.Path("broken.wav"), damaged);
    const struct {
        std::string name;
        bool music;
    } cases[] = {
        {"snd/broken.wav", false}, {"music/broken.ogg", true}, {folder.Relative() + "/broken.wav", false}};
    for (const auto& [name, isMusic] : cases) {
        SCOPED_TRACE(name);
        TQLogCapture errors(g_tqLogError);
        testing::internal::CaptureStderr();
        TQ2DSound sound;
        TQ2DMusic music;
        EXPECT_EQ(isMusic ? music.Create(name.c_str(), 0) : sound.Create(name.c_str(), 0), 0);
        EXPECT_EQ(testing::internal::GetCapturedStderr().find("tqaudio:"), std::string::npos);
        const std::vector<std::string> lines = errors.Lines();
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_NE(lines[0].find("'" + name + "': not a readable sound file ("), std::string::npos)
            << lines[0];
    }
}

// Objects the host keeps over a restart hold handles of the closed engine; the new engine hands
// out the same numbers for its own objects, which those old holders must never free or share.
TEST_F(MediaTest, MediaKeptOverARestartNeverReachTheNewEngine) {
    WritePng(folder.Path("kept.png"), 4, 4, Solid(16, 0xFFFF0000));
    WriteFile(folder.Path("kept.wav"), WavBytes(22050));
    const std::string picture = folder.Relative() + "/kept.png";
    const std::string sound = folder.Relative() + "/kept.wav";
    TQ2DTexture oldOwned, oldShared(picture.c_str(), 0);
    ASSERT_NE(oldOwned.Create(8, 8), 0);
    TQ2DSound oldSound(sound.c_str(), 0);
    TQ2DTarget oldTarget(16, 16, false);
    ASSERT_NE(oldSound.GetSound(), 0u);
    oldSound.SetLoopMode(true);
    oldSound.Play();
    const std::vector<unsigned char> wav = WavBytes(3000);
    TQ2DSound oldPrivate(reinterpret_cast<const char*>(wav.data()), static_cast<unsigned long>(wav.size()));

    StartEngine(); // closes the first engine
    TQ2DTexture owned, shared(picture.c_str(), 0);
    ASSERT_NE(owned.Create(8, 8), 0);
    TQ2DSound newSound(sound.c_str(), 0);
    TQ2DSound newPrivate(reinterpret_cast<const char*>(wav.data()), static_cast<unsigned long>(wav.size()));
    TQ2DTarget target(16, 16, false);
    ASSERT_NE(shared.GetTexture(), 0u);
    const DWORD* pixels = shared.Lock(true); // loaded anew, not the closed engine's handle
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);
    shared.UnLock();
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 1u);
    newSound.SetLoopMode(true);
    newSound.Play();

    oldSound.SetVolume(0);
    oldSound.Pause();
    oldPrivate.Play(); // would start the new engine's effect of the same number
    EXPECT_FALSE(oldPrivate.IsPlaying());
    EXPECT_EQ(oldOwned.GetTexture(), 0u);
    const DWORD renewed = oldShared.GetTexture(); // none, or the texture its name has now
    EXPECT_TRUE(renewed == 0u || renewed == shared.GetTexture());
    EXPECT_EQ(oldOwned.Lock(false), nullptr);
    EXPECT_EQ(oldTarget.GetTexture(), 0u);
    EXPECT_EQ(static_cast<unsigned long>(oldTarget), 0ul);
    oldOwned.Delete();
    oldShared.Delete();
    oldSound.Delete();
    oldTarget.Delete();
    EXPECT_NE(owned.Lock(true), nullptr);
    owned.UnLock();
    EXPECT_NE(shared.Lock(true), nullptr);
    shared.UnLock();
    EXPECT_NE(target.GetTexture(), 0u);
    EXPECT_TRUE(newSound.IsPlaying());

    shared.Delete();
    newSound.Delete();
    EXPECT_EQ(TQ2DGlobalTexture::CachedCount(), 0u);
    EXPECT_EQ(TQ2DGlobalSound::CachedCount(), 0u);
}

TEST_F(MediaTest, SpriteDescriptionFromAMixedCaseDiskTree) {
    WritePng(folder.Path("Ui/Img/Icon.png"), 16, 8, Solid(128, 0xFF0000FF));
    WriteText(folder.Path("Ui/Icon.txt"), "TEX=img\\icon.png\nALPHA=0x80\nRENDER_X=12.5\n");
    WorkingFolder cwd(AssetFolder::ProgramFolder());
    TQ2DSprite sprite;
    ASSERT_EQ(sprite.CreateFromConfig(("packs//" + folder.Relative() + "/ui/icon.txt").c_str()), 1);
    EXPECT_EQ(sprite.GetWidth(), 16.0f);
    EXPECT_EQ(sprite.GetHeight(), 8.0f);
    float hx = 0, hy = 0;
    sprite.GetHotSpot(&hx, &hy);
    EXPECT_EQ(hx, 8.0f);
    EXPECT_EQ(hy, 4.0f);
    EXPECT_EQ(sprite.GetAlpha(2), 0x80);
    EXPECT_EQ(sprite.GetDefaultAlpha(), 0x80);
    EXPECT_EQ(sprite.GetRenderPos().x, 12.5f);
    EXPECT_EQ(sprite.CreateFromConfig(" / "), 0);
    EXPECT_EQ(sprite.CreateFromConfig("no/such.txt"), 0);
    EXPECT_NE(sprite.GetObjectA(), nullptr);
}

TEST_F(MediaTest, SpriteDescriptionFromAPack) {
    const std::string pack = folder.Path("sprites.pak");
    MakePack(
        folder, pack,
        {{"S/HERO.TXT", TextBytes("TEX=h.png\nW=2\n")}, {"S/H.PNG", PngBytes(4, 4, Solid(16, 0xFFFFFFFF))}});
    ASSERT_EQ(TQ2DPackAdd(pack.c_str()), 1);
    TQ2DSprite sprite;
    ASSERT_EQ(sprite.CreateFromConfig("s/hero.txt"), 1);
    EXPECT_EQ(sprite.GetWidth(), 2.0f);
    EXPECT_EQ(sprite.GetHeight(), 4.0f);
}

TEST_F(MediaTest, SpriteCopiesFadesAndFailedRecreation) {
    WritePng(folder.Path("s.png"), 8, 8, Solid(64, 0xFFFFFFFF));
    const std::string name = folder.Relative() + "/s.png";
    TQ2DSprite* sprite = new TQ2DSprite(name.c_str(), 0, 0, 0, 0);
    ASSERT_NE(sprite->GetObjectA(), nullptr);
    TQ2DSprite copy(*sprite);
    EXPECT_NE(copy.GetObjectA(), sprite->GetObjectA());
    delete sprite;
    EXPECT_NE(copy.GetTQ2DTexture().Lock(true), nullptr);
    copy.GetTQ2DTexture().UnLock();

    copy.SetColor(0xFFFF0000, 7); // corner out of range: ignored
    EXPECT_EQ(copy.GetColor(3), 0xFFFFFFFFu);
    copy.SetAniAlpha(0, 255.0f);
    copy.Update(0.5f);
    EXPECT_EQ(copy.GetAlpha(0), 127);
    copy.Update(0.5f);
    EXPECT_EQ(copy.GetAlpha(0), 0);
    EXPECT_EQ(copy.GetAniAlphaMode(), 0);
    copy.SetAniAlpha(200, -50.0f); // a speed away from the target still ends, never wraps
    for (int i = 0; i < 20 && copy.GetAniAlphaMode(); ++i)
        copy.Update(0.5f);
    EXPECT_EQ(copy.GetAniAlphaMode(), 0);
    EXPECT_EQ(copy.GetAlpha(0), 200);

    EXPECT_EQ(copy.Create("missing/file.png", 0, 0, 0, 0), 0);
    EXPECT_EQ(copy.GetObjectA(), nullptr);
    copy.Render(1, 1);
}

TEST_F(MediaTest, SpriteAdjustmentsAndBasePoint) {
    TQ2DTexture texture;
    ASSERT_NE(texture.Create(8, 8), 0);
    AdjustableSprite sprite(texture, 0, 0, 0, 0);
    TQ2D_POINT_tag base = {10, 20};
    sprite.SetBasePT(&base);
    sprite.SetPosAdjust(1, 2);
    sprite.Render(100, 100);
    EXPECT_EQ(sprite.GetRenderCurrentPos().x, 111.0f);
    EXPECT_EQ(sprite.GetRenderCurrentPos().y, 122.0f);
    EXPECT_EQ(sprite.lastX, 111.0f);
    sprite.SetScaleAdjust(1.5f, 1.5f);
    sprite.RenderEx(0, 0, 0, 2, 2);
    sprite.SetColor(0xFF00FF00, -1);
    sprite.SetBlendMode(3);
    TQ2DTexture other;
    ASSERT_NE(other.Create(16, 16), 0);
    sprite.SetTexture(other.GetTexture());
    EXPECT_EQ(sprite.GetColor(1), 0xFF00FF00u);
    EXPECT_EQ(sprite.GetBlendMode(), 3);
}

TEST_F(MediaTest, RenderedSceneMatchesPixelForPixel) {
    TQ2DTexture texture;
    ASSERT_NE(texture.Create(4, 4), 0);
    texture.Clear(0xFFFFFFFF);
    TQ2DSprite red(texture, 0, 0, 0, 0);
    red.SetColor(0xFFFF0000, -1);
    TQ2DSprite half(texture, 0, 0, 0, 0);
    half.SetAlpha(128, -1);
    ASSERT_EQ(TQ2DGfx_BeginScene(0), 1);
    TQ2DGfx_Clear(0xFF000000);
    red.Render(2, 2);
    half.RenderStretch(10, 10, 18, 14);
    TQ2DGfx_EndScene();
    std::vector<uint32_t> pixels;
    int width = 0, height = 0;
    ASSERT_TRUE(tqplat::VideoLastFrame(TQ2DGetMsgWnd(), &pixels, &width, &height));
    ASSERT_EQ(width, 64);
    // Every pixel: black, the red square's 4 x 4 texels and the half-white stretched rectangle.
    std::vector<uint32_t> expected(pixels.size(), 0x000000);
    auto fill = [&](int left, int top, int right, int bottom, uint32_t color) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                expected[static_cast<size_t>(y * width + x)] = color;
    };
    fill(2, 2, 6, 6, 0xFF0000);
    fill(10, 10, 18, 14, 0x808080);
    for (uint32_t& pixel : pixels)
        pixel &= 0x00FFFFFF;
    EXPECT_EQ(pixels, expected);
}

// Names that are absolute paths of the system load from any working folder, after the packs and
// the program's folder had their turn; what loads from nowhere names every path it tried.
TEST_F(MediaTest, AbsolutePathsLoadFromAnyWorkingFolderAfterThePacks) {
    ScratchFolder assets, elsewhere;
    std::filesystem::create_directory(assets.Path("Game"));
    WritePng(assets.Path("Game/Bg.png"), 8, 4, Solid(32, 0xFF00FF00));
    WriteText(assets.Path("Game/bg.txt"), "TEX=bg.png\n");
    WriteText(assets.Path("Game/spin.ani"), "TEX=Bg.png\nW=4\nH=4\nCOUNT=2\nSOUND=click.wav\n");
    WriteText(assets.Path("Game/spark.txt"), "TEX=bg.png\nW=4\nH=4\nEMISSION=10\n");
    WriteFile(assets.Path("Game/click.wav"), WavBytes(64));
    WorkingFolder cwd(elsewhere.Root());
    const std::string game = assets.Path("Game/");

    TQ2DTexture texture;
    ASSERT_NE(texture.Create((game + "Bg.png").c_str(), 0), 0);
    EXPECT_EQ(texture.GetWidth(), 8u);
    TQ2DSprite sprite;
    ASSERT_EQ(sprite.CreateFromConfig((" " + game + "bg.txt").c_str()), 1);
    EXPECT_EQ(sprite.GetWidth(), 8.0f);
    TQ2DAnimation animation;
    ASSERT_EQ(animation.CreateFromConfig((game + "spin.ani").c_str()), 1);
    EXPECT_EQ(animation.GetFrames(), 2);
    TQ2DParticle particle;
    EXPECT_EQ(particle.CreateFromConfig((game + "spark.txt").c_str()), 1);
    TQ2DSound sound;
    EXPECT_NE(sound.Create((game + "click.wav").c_str(), 0), 0);
    TQ2DMusic music;
    EXPECT_NE(music.Create((game + "click.wav").c_str(), 0), 0);

    // A pack holding the name as a resource name is read first.
    TQString key = TQ2DNormalizeResourceName((game + "packed.png").c_str());
    key.StrReplace('/', '\\');
    MakePack(folder, folder.Path("abs.pak"), {{key.GetString(), PngBytes(2, 2, Solid(4, 0xFFFFFFFF))}});
    ASSERT_EQ(TQ2DPackAdd(folder.Path("abs.pak").c_str()), 1);
    WritePng(assets.Path("Game/packed.png"), 16, 16, Solid(256, 0xFF000000));
    TQ2DTexture packed;
    ASSERT_NE(packed.Create((game + "packed.png").c_str(), 0), 0);
    EXPECT_EQ(packed.GetWidth(), 2u);

    TQLogCapture errors(g_tqLogError);
    TQ2DTexture missing;
    EXPECT_EQ(missing.Create((game + "none.png").c_str(), 0), 0);
    TQ2DSprite missingSprite;
    EXPECT_EQ(missingSprite.CreateFromConfig("sprites/none.txt"), 0);
    const std::string programPath = AssetFolder::ProgramFolder() + "/" + key.GetString();
    const std::vector<std::string> lines = errors.Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("texture '" + game + "none.png'"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(game + "none.png (names match"), std::string::npos) << lines[0];
    EXPECT_NE(lines[0].find(AssetFolder::ProgramFolder()), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(elsewhere.Root() + "/SPRITES/NONE.TXT"), std::string::npos) << lines[1];
}
