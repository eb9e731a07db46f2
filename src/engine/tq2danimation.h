/// @class TQ2DAnimation
/// TQ2DAnimation: the engine's animated sprite. A sprite whose helper is a frame animation
/// (TQGfxAnimation: frames stepping through a texture strip), optionally with a texture of its own
/// for every frame, plus a sound played with it, four motion tracks driving the sprite's position,
/// scale, rotation (degrees) and alpha adjustments, a replay count, a play-time limit and a list of
/// attached animations drawn and updated with it. Usually read from an animation description file
/// (CreateFromConfig).
///
/// Without a helper, operations that need one do nothing or return 0. Copies are deep: a copy has its
/// own helper, its own texture and sound references, its own tracks and its own attached children.
#pragma once

#include "containers/tqarraytmpl.h"
#include "engine/tq2danimationanfinfo.h"
#include "engine/tq2danimationinfo.h"
#include "engine/tq2dsound.h"
#include "engine/tq2dsprite.h"

class TQGfxAnimation;

class TQ2DAnimation : public TQ2DSprite {
public:
    TQ2DAnimation();
    /// The defaults, then the matching Create (the result is dropped).
    TQ2DAnimation(TQ2DTexture& texture, int frames, float fps, float x, float y, float w, float h);
    /// The defaults, then Create(file, ...) (the result is dropped).
    TQ2DAnimation(const char* file, int frames, float fps, float x, float y, float w, float h);
    /// Deep copy.
    TQ2DAnimation(const TQ2DAnimation& other);
    /// Deep copy.
    TQ2DAnimation& operator=(const TQ2DAnimation& other);
    ~TQ2DAnimation() override;

    /// Reads an animation description file (packs, then disk): 0 when the name is empty or the file
    /// cannot be read, else 1, also when a texture, the sound or an attached file fails.
    int CreateFromConfig(const char* name) override;
    /// Draws the attached animations of group (0: all) after the parent was drawn at (x, y).
    void OnRender(float x, float y, unsigned long group) override;

    /// frames frames of w x h (0: the texture's size) from (x, y) on, at fps frames per second;
    /// stopped on frame 0. 1 (an address does not fit an int), 0 when the texture has no handle or
    /// memory is short. The texture must outlive the animation.
    int Create(TQ2DTexture& texture, int frames, float fps, float x, float y, float w, float h);
    /// The same on the own texture, loaded from file (cache, packs, disk).
    int Create(const char* file, int frames, float fps, float x, float y, float w, float h);
    /// One frame over an empty w x h own texture, which never advances.
    int Create(unsigned long w, unsigned long h);
    /// Deletes the helper, the own texture, every frame texture and the sound; tracks and attached
    /// animations stay.
    void Delete();

    /// Restarts frames, tracks, children and the play time; plays the sound when withSound.
    void Play(int withSound);
    /// Stops (or resumes) the helper, the sound, the tracks and the children; nothing restarts.
    void Stop();
    /// Resumes what Stop stopped.
    void Resume();
    /// Advances fade, frames, tracks, children, frame textures, replays and the play time.
    void Update(float dt);
    /// With a play time: while it has not run out. Else while a replay is due or the helper plays.
    bool IsPlaying() const;

    /// Sets the loop count and the current loop, so no replay happens until the next Play.
    void SetLoopCount(unsigned long n);
    /// Plays in all that Play starts (0 and 1: one), from the description file.
    unsigned long GetLoopCount() const { return m_dwLoopCount; }
    /// The current play, from 1.
    unsigned long GetCurrentLoopCount() const { return m_dwCurrentLoop; }
    /// Limits the playing time to seconds (0: no limit); IsPlaying reports it.
    void SetPlayTime(float seconds) { m_fPlayTime = seconds; }
    /// The play-time limit in seconds.
    float GetPlayTime() const { return m_fPlayTime; }

    /// Shows helper frame n (modulo the frame count) and frame texture n when it has one.
    void SetFrame(int n);
    /// The helper's frame shown, 0 without a helper.
    int GetFrame() const;
    /// The number of frame textures when there are any, else the helper's frame count (0 without).
    int GetFrames() const;
    /// The helper's mode bits (TQGfxAnimation::kReverse, kPingPong, kLoop).
    void SetMode(int mode);
    /// The helper's mode bits, 0 without a helper.
    int GetMode() const;
    /// The helper's frame count.
    void SetFrames(int n);
    /// The helper's frames per second.
    void SetSpeed(float fps);
    /// The helper's frames per second, 0 without a helper.
    float GetSpeed() const;

    /// SetAlpha on this animation and, recursively, on every attached one; with useDefault each takes
    /// its own default alpha at this level and passes it down to its children.
    void SetAlphaAll(unsigned char alpha, int unused, int useDefault);
    /// SetAniAlpha on the whole tree; with useDefault each fades to its own default alpha.
    void SetAniAlphaAll(unsigned char alpha, float speed, int useDefault);
    /// 1 when this animation or one of its direct children is fading.
    int GetAniAlphaAllMode() const;

    /// The position track (offsets in pixels).
    TQ2DAnimationInfo& GetPositionAniInfo() { return m_PositionAni; }
    /// The scale track.
    TQ2DAnimationInfo& GetScaleAniInfo() { return m_ScaleAni; }
    /// The rotation track (degrees).
    TQ2DAnimationInfo& GetRotateAniInfo() { return m_RotateAni; }
    /// The alpha track.
    TQ2DAnimationInfo& GetAlphaAniInfo() { return m_AlphaAni; }
    /// The sound played with the animation.
    TQ2DSound& GetSound() { return m_sound; }
    /// The attached animations.
    TQArrayTmpl<TQ2DAnimationANFInfo>& GetANFList() { return m_ANFList; }
    /// The per-frame textures (empty when the frames come from one texture).
    TQArrayTmpl<TQ2DTexture>& GetFrameTextures() { return m_FrameTextures; }
    /// The adjustments the tracks drive.
    const TQ2D_POINT_tag& GetPositionAdjust() const { return m_ptPosAdjust; }
    /// Scale adjustment.
    const TQ2D_POINT_tag& GetScaleAdjust() const { return m_ptScaleAdjust; }
    /// Rotation adjustment in degrees.
    const TQ2D_POINT_tag& GetRotationAdjust() const { return m_ptRotationAdjust; }
    /// Alpha adjustment.
    const TQ2D_POINT_tag& GetAlphaAdjust() const { return m_ptAlphaAdjust; }

    /// Order by address: the sign of this object against other.
    int operator-(TQ2DAnimation& other) const;
    /// Order by address; -1 for NULL.
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DAnimation)

protected:
    void DeleteHelper() override;
    TQGfxSprite* CopyHelper(const TQ2DSprite& other) override;

private:
    // The frame-animation helper, NULL when there is none (or the sprite base replaced it).
    TQGfxAnimation* Animation() const;
    // Clears the adjustments, then puts each on its track's first key point.
    void ResetAdjust();
    // Shows frame texture n with the frame rectangle, when it exists and has a handle.
    void ApplyFrameTexture(int n);
    // Replays when a replay is due and the helper has finished.
    void ReplayWhenDue();
    void UpdateChildren(float dt);
    // Calls fn (TQ2DAnimationANFInfo&) on every attached entry that has a child, in list order.
    template <class Fn> void ForEachAttached(Fn fn) const {
        for (DWORD i = 0; i < m_ANFList.GetSize(); ++i) {
            TQ2DAnimationANFInfo* entry = m_ANFList.GetAt(i);
            if (entry && entry->m_pChild)
                fn(*entry);
        }
    }
    void CopyOwnFields(const TQ2DAnimation& other);

    // Description reading (CreateFromConfig), in the order of the keys; name is the normalised
    // description name (for the log) and folder its folder.
    void ReadTextures(const TQ2DFileConfig& config, const TQString& folder, const TQString& name);
    void ReadFrameTextures(const TQString& folder, const TQString& format, int count,
                           const DWORD* transparent);
    void ReadLooks(const TQ2DFileConfig& config);
    void ReadPlaying(const TQ2DFileConfig& config);
    void ReadAttached(const TQ2DFileConfig& config, const TQString& name);

    unsigned char m_byAlpha = 255;
    int m_nLastFrameTexture = -1;
    unsigned long m_dwLoopCount = 0;
    unsigned long m_dwCurrentLoop = 1;
    float m_fPlayTime = 0.0f;
    float m_fRemainPlayTime = 0.0f;
    float m_fFrameX = 0.0f, m_fFrameY = 0.0f, m_fFrameW = 0.0f, m_fFrameH = 0.0f;
    TQArrayTmpl<TQ2DTexture> m_FrameTextures;
    TQ2DSound m_sound;
    TQ2DAnimationInfo m_PositionAni;
    TQ2DAnimationInfo m_ScaleAni;
    TQ2DAnimationInfo m_RotateAni;
    TQ2DAnimationInfo m_AlphaAni;
    TQArrayTmpl<TQ2DAnimationANFInfo> m_ANFList;
    // The helper this object made, kept to tell it from a plain sprite helper the base may have put
    // in its place.
    TQGfxAnimation* m_pAnimation = nullptr;
};
