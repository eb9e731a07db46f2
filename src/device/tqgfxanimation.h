/// @class TQGfxAnimation
/// TQGfxAnimation: a sprite whose source rectangle steps through equally sized frames laid out on one
/// texture, left to right and then row by row (rows after the first start at the texture's left
/// edge), at a fixed number of frames per second.
///
/// It draws exactly like its base sprite; only the texture coordinates change from frame to frame,
/// and the flips of the sprite carry over to every frame. The device reference is the base sprite's.
/// The base's source rectangle always describes the first frame: frames are drawn from rectangles
/// laid out from it, and setting it through the base moves the first frame (and shows it).
///
/// Modes are bit sets: kReverse plays from the last frame backwards, kPingPong turns at the ends,
/// kLoop starts over (or turns) instead of stopping. Mode 0 plays forward once. The table of what
/// happens at either end is in Update.
#pragma once

#include "device/tqgfxsprite.h"

class TQGfxAnimation : public TQGfxSprite {
public:
    /// Mode bit: play from the last frame backwards.
    static constexpr int kReverse = 1;
    /// Mode bit: turn at the ends.
    static constexpr int kPingPong = 2;
    /// Mode bit: start over (or turn) instead of stopping.
    static constexpr int kLoop = 4;

    /// Frames of w × h texels, the first at (x, y) of the texture; stopped on frame 0, mode kLoop.
    /// A frame count below 1 counts as 1; an fps of 0 or less never advances.
    TQGfxAnimation(DWORD texture, int frames, float fps, float x, float y, float w, float h);

    /// Restarts from the first frame (the last one in reverse) and restarts the clock.
    void Play();
    /// Stops where it is; Resume continues from there without restarting.
    void Stop() { m_bPlaying = false; }
    /// Continues from the frame shown.
    void Resume() { m_bPlaying = true; }
    /// True while playing.
    bool IsPlaying() const { return m_bPlaying; }

    /// Advances the clock by dt seconds and shows at most one further frame. The first update after
    /// Play only starts the clock.
    void Update(float dt);

    /// Stores the mode and shows its first frame as Play does, without touching the clock or the
    /// playing flag.
    void SetMode(int mode);
    /// The mode bits.
    int GetMode() const { return m_nMode; }
    /// Frames per second; 0 or less never advances (GetSpeed then returns 0).
    void SetSpeed(float fps);
    /// Frames per second (0 when it never advances).
    float GetSpeed() const;
    /// Shows frame n modulo the frame count (negative values count back from the last frame).
    void SetFrame(int n);
    /// The frame shown, from 0.
    int GetFrame() const { return m_nCurFrame; }
    /// Stores the frame count only (at least 1); the frame shown stays.
    void SetFrames(int n);
    /// The frame count.
    int GetFrames() const { return m_nFrames; }

private:
    // What an end of the frame range does in the current mode.
    enum EndAction { kWrap, kStop, kTurn };
    EndAction ActionAtEnd(bool pastLast) const;
    // Sets the direction and shows the mode's first frame.
    void StartFromModeEnd();

    bool m_bPlaying;
    float m_fSecondsPerFrame;
    float m_fClock;
    int m_nMode;
    int m_nDirection;
    int m_nFrames;
    int m_nCurFrame;
};
