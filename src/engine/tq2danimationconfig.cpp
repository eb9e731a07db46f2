// TQ2DAnimation's reader of animation description files.
#include "engine/tq2danimation.h"

#include "base/tqlog.h"
#include "base/tqlogname.h"
#include "base/tqlogrepeats.h"
#include "base/tqstringparser.h"
#include "device/tqgfxanimation.h"
#include "engine/tq2ddescriptionfields.h"
#include "engine/tq2ddescriptionfile.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dpack.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kSourceFile[] = "lib/project/dozaz2i/source/tq2danimation";
// Limits against absurd descriptions: frame textures of one description, attached animations read
// for one top-level description in all, and nesting of attached descriptions (a description that
// attaches itself would otherwise never end).
const int kMaxFrameTextures = 4096;
const int kMaxAttachedTotal = 1024;
const int kMaxAttachDepth = 16;
// The attached descriptions being read now (host thread only).
int g_nAttachDepth = 0;
int g_nAttachedTotal = 0;

void LogError(int line, const char* message, const char* name) {
    g_tqLogError.SetLogInfo(kSourceFile, "TQ2DAnimation::CreateFromConfig", line);
    g_tqLogError.Log(TQLOG_ERROR_PREFIX "%s [name=%s]", message, TQLogShortName(name).c_str());
}

float Decimal(const TQString& text) {
    return static_cast<float>(std::atof(text));
}

// Skips at most two digits (a width or precision of a file name); false when more follow.
bool SkipShortNumber(const char*& p) {
    for (int digits = 0; *p >= '0' && *p <= '9'; ++p) {
        if (++digits > 2)
            return false;
    }
    return true;
}

// True when format holds exactly one integer conversion ("%d", "%03x", ...) and otherwise only
// "%%": the only texture-list formats that can safely be given one integer.
bool IsOneIntegerFormat(const char* format) {
    int conversions = 0;
    for (const char* p = format; *p; ++p) {
        if (*p != '%')
            continue;
        if (*++p == '%')
            continue;
        while (*p && std::strchr("-+ #0", *p))
            ++p;
        if (!SkipShortNumber(p))
            return false;
        if (*p == '.' && !SkipShortNumber(++p))
            return false;
        if (!*p || !std::strchr("diuxXo", *p))
            return false;
        ++conversions;
    }
    return conversions == 1;
}

// How a track's key points are written.
enum class TrackForm { kPosition, kScale, kSingle };

// One key point "x:y:wait:speed" or "value:wait:speed" (all decimals).
void ReadKeyPoint(const TQString& text, TrackForm form, TQ2D_POINT_tag& point, float& wait, float& speed) {
    TQStringParser fields(text);
    fields.SetParser(':', 1);
    const float scale = form == TrackForm::kScale ? 100.0f : 1.0f;
    const bool single = form == TrackForm::kSingle;
    point.x = Decimal(fields.GetToken(1)) / scale;
    point.y = single ? 0.0f : Decimal(fields.GetToken(2)) / scale;
    wait = Decimal(fields.GetToken(single ? 2 : 3)) / 1000.0f;
    speed = Decimal(fields.GetToken(single ? 3 : 4)) / scale;
}

// The P_SPEED, P_LOOP_MODE, P_LOOP_COUNT and P_POINT keys of one track into a fresh track.
void ReadTrack(const TQFileConfig& config, const char* prefix, TrackForm form, TQ2DAnimationInfo& track,
               const char* name) {
    track = TQ2DAnimationInfo();
    TQString key;
    key.Format("%s_SPEED", prefix);
    track.m_fDefaultSpeed =
        Decimal(TQ2DTrimmedConfig(config, key)) / (form == TrackForm::kScale ? 100.0f : 1.0f);
    key.Format("%s_LOOP_MODE", prefix);
    track.m_bLoopForever = config.GetConfigNum(key) != 0 ? 1 : 0;
    key.Format("%s_LOOP_COUNT", prefix);
    track.m_nLoopCount = TQ2DConfigInt(config, key);
    key.Format("%s_POINT", prefix);
    TQStringParser points(TQ2DTrimmedConfig(config, key));
    points.SetParser(',', 1);
    const DWORD count = points.GetCount();
    if (!count)
        return;
    if (!track.m_Points.SetSize(count, 1, 4) || !track.m_Waits.SetSize(count, 4) ||
        !track.m_Speeds.SetSize(count, 4)) {
        LogError(__LINE__, "Key points cannot be held.", name);
        track = TQ2DAnimationInfo();
        return;
    }
    for (DWORD i = 0; i < count; ++i) {
        TQ2D_POINT_tag* point = track.m_Points.GetAt(i);
        float wait = 0.0f, speed = 0.0f;
        if (!point)
            continue;
        ReadKeyPoint(points.GetToken(i + 1), form, *point, wait, speed);
        track.m_Waits.SetAt(i, wait);
        track.m_Speeds.SetAt(i, speed);
    }
}

} // namespace

// A file that cannot be read was logged by the file look-up.
int TQ2DAnimation::CreateFromConfig(const char* name) {
    const TQ2DDescriptionFile file(name);
    if (!file.IsOpen())
        return 0;
    const TQ2DFileConfig& config = file.Config();
    const TQString& key = file.Key();
    if (g_nAttachDepth == 0)
        g_nAttachedTotal = 0;
    const TQString folder = file.Folder();
    ReadTextures(config, folder, key);
    ReadLooks(config);
    ReadPlaying(config);
    const TQString sound = TQ2DTrimmedConfig(config, "SOUND");
    if (sound.GetLength())
        TQ2DReadSoundValue(sound, folder, key, m_sound);
    ReadTrack(config, "PA", TrackForm::kPosition, m_PositionAni, key);
    ReadTrack(config, "SA", TrackForm::kScale, m_ScaleAni, key);
    ReadTrack(config, "RA", TrackForm::kSingle, m_RotateAni, key);
    ReadTrack(config, "AA", TrackForm::kSingle, m_AlphaAni, key);
    m_PositionAni.TakeFirstPoint(m_ptPosAdjust);
    m_ScaleAni.TakeFirstPoint(m_ptScaleAdjust);
    m_RotateAni.TakeFirstPoint(m_ptRotationAdjust);
    m_AlphaAni.TakeFirstPoint(m_ptAlphaAdjust);
    ReadAttached(config, key);
    return 1;
}

// TEX_LIST (a texture per frame) or TEX (one strip), ALPHA and TRANS_COLOR; then the helper.
void TQ2DAnimation::ReadTextures(const TQ2DFileConfig& config, const TQString& folder, const TQString& name) {
    const TQString list = TQ2DFileNameConfig(config, "TEX_LIST");
    const TQString texture = TQ2DFileNameConfig(config, "TEX");
    const TQString alpha = TQ2DTrimmedConfig(config, "ALPHA");
    if (alpha.GetLength())
        m_byDefaultAlpha = m_byAlpha = static_cast<unsigned char>(alpha.GetValue(nullptr) & 0xFF);
    const TQString transparent = TQ2DTrimmedConfig(config, "TRANS_COLOR");
    const DWORD color = static_cast<DWORD>(transparent.GetValue(nullptr));
    const float x = static_cast<float>(TQ2DConfigInt(config, "X"));
    const float y = static_cast<float>(TQ2DConfigInt(config, "Y"));
    const float w = static_cast<float>(TQ2DConfigInt(config, "W"));
    const float h = static_cast<float>(TQ2DConfigInt(config, "H"));
    const float fps = static_cast<float>(TQ2DConfigInt(config, "FPS"));
    const int count = TQ2DConfigInt(config, "COUNT");
    // Frame textures of an earlier reading would otherwise replace the new texture frame by frame.
    m_FrameTextures.DeleteAll();
    m_nLastFrameTexture = -1;
    if (list.GetLength() == 0) {
        // Without TEX the animation has no texture of its own (it may hold attached ones).
        if (texture.GetLength() == 0 || !TQ2DNamesFile("texture", texture, name, "TEX"))
            TQ2DSprite::Delete();
        else
            Create(TQ2DPathInFolder(folder, texture), count, fps, x, y, w, h);
        if (transparent.GetLength())
            m_texture.SetTransparentColor(color);
        return;
    }
    if (!IsOneIntegerFormat(list))
        LogError(__LINE__, "Invalid TEX_LIST format.", name);
    else if (count > kMaxFrameTextures)
        LogError(__LINE__, "Too many frame textures.", name);
    else
        ReadFrameTextures(folder, list, count, transparent.GetLength() ? &color : nullptr);
    // A helper left from an earlier reading would name a released frame texture.
    if (!Create(m_FrameTextures[0], count, fps, x, y, w, h))
        DeleteHelper();
}

// Frame texture i of count from the list format given i; owned by the frame-texture array.
void TQ2DAnimation::ReadFrameTextures(const TQString& folder, const TQString& format, int count,
                                      const DWORD* transparent) {
    for (int i = 0; i < count; ++i) {
        TQString file;
        file.Format(format, i);
        TQ2DTexture* texture = new TQ2DTexture(TQ2DPathInFolder(folder, file), 0);
        if (!texture)
            continue;
        if (transparent)
            texture->SetTransparentColor(*transparent);
        if (!m_FrameTextures.SetAt(static_cast<DWORD>(i), texture, 1))
            delete texture;
    }
}

// Alpha, BLEND, hot spot and render position.
void TQ2DAnimation::ReadLooks(const TQ2DFileConfig& config) {
    SetAlpha(m_byAlpha, -1);
    const TQString blend = TQ2DTrimmedConfig(config, "BLEND");
    if (blend.GetLength())
        SetBlendMode(TQ2DBlendKeywordBits(blend));
    const TQString hotX = TQ2DTrimmedConfig(config, "HOT_SPOT_X");
    const TQString hotY = TQ2DTrimmedConfig(config, "HOT_SPOT_Y");
    SetHotSpot(hotX.GetLength() ? Decimal(hotX) : GetWidth() / 2.0f,
               hotY.GetLength() ? Decimal(hotY) : GetHeight() / 2.0f);
    const float renderY = Decimal(TQ2DTrimmedConfig(config, "RENDER_Y"));
    const float renderX = Decimal(TQ2DTrimmedConfig(config, "RENDER_X"));
    SetRenderPos(renderX, renderY);
}

// LOOP_MODE, LOOP_COUNT and PLAY_TIME (milliseconds).
void TQ2DAnimation::ReadPlaying(const TQ2DFileConfig& config) {
    const TQString mode = TQ2DTrimmedConfig(config, "LOOP_MODE");
    SetMode(mode.GetLength() ? TQ2DLoopModeKeywordBits(mode) : TQGfxAnimation::kLoop);
    SetLoopCount(static_cast<DWORD>(config.GetConfigNum("LOOP_COUNT")));
    m_fRemainPlayTime = 0.0f;
    m_fPlayTime = Decimal(TQ2DTrimmedConfig(config, "PLAY_TIME")) / 1000.0f;
}

// ANF_COUNT entries, each ANF_i "absolute, x, y, file, group", the file read from the root.
void TQ2DAnimation::ReadAttached(const TQ2DFileConfig& config, const TQString& name) {
    DWORD count = static_cast<DWORD>(config.GetConfigNum("ANF_COUNT"));
    m_ANFList.DeleteAll();
    if (!count)
        return;
    if (g_nAttachDepth >= kMaxAttachDepth) {
        LogError(__LINE__, "Attached animations nested too deep.", name);
        return;
    }
    // A count beyond the limit is the fault; the ANF_i lines it names that the file lacks are not
    // one more each. Within the limit, missing lines are one fault, logged once with their number.
    const bool tooMany = count > static_cast<DWORD>(kMaxAttachedTotal - g_nAttachedTotal);
    if (tooMany) {
        LogError(__LINE__, "Too many attached animations.", name);
        count = static_cast<DWORD>(kMaxAttachedTotal - g_nAttachedTotal);
    }
    g_nAttachedTotal += static_cast<int>(count);
    if (!m_ANFList.SetSize(count, 1, 4))
        return;
    DWORD missing = 0;
    TQString firstMissing;
    for (DWORD i = 0; i < m_ANFList.GetSize(); ++i) {
        TQ2DAnimationANFInfo* entry = m_ANFList.GetAt(i);
        TQString key;
        key.Format("ANF_%d", static_cast<int>(i));
        if (!entry || config.GetConfig(key).GetLength() == 0) {
            if (missing++ == 0)
                firstMissing = key;
            continue;
        }
        if (!(entry->m_pChild = new TQ2DAnimation))
            continue;
        TQStringParser fields(config.GetConfig(key));
        fields.SetParser(',', 1);
        entry->m_bAbsolute = static_cast<int>(fields.GetTokenNum(1));
        entry->m_dwGroup = static_cast<DWORD>(fields.GetTokenNum(5));
        entry->m_fOffsetX = Decimal(fields.GetToken(2));
        entry->m_fOffsetY = Decimal(fields.GetToken(3));
        TQString path;
        path.Format("/%s", fields.GetToken(4).GetString());
        ++g_nAttachDepth;
        entry->m_pChild->CreateFromConfig(path);
        --g_nAttachDepth;
    }
    if (missing && !tooMany)
        LogError(__LINE__,
                 (std::string(firstMissing.GetString()) + " of ANF_COUNT is missing" +
                  (missing > 1 ? TQLogAndMore(missing - 1) : "."))
                     .c_str(),
                 name);
}
