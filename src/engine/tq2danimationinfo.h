/// @file
/// TQ2DAnimationInfo: one motion track. It moves a two-float value along a closed list of key points
/// at a constant speed per segment (value units per second along the straight line), waits before
/// each segment, and plays once, a given number of passes or for ever.
///
/// The track does not own the value it moves: Play and Update are handed it each time. Entry i of
/// the waits and speeds belongs to key point i; the first segment (key 0 to key 1) takes its wait and
/// speed from entry 0, every later segment heading for key j from entry j. A speed of 0 falls back to
/// the default speed. A loop count of 0 or 1 both give one pass, from key 0 through the last key.
///
/// The fields are public: the animation description reader fills the configuration fields and the
/// key arrays directly. Copies are deep: a copy has its own key arrays and its segment pointers
/// point into them.
#pragma once

#include "containers/tqarrayextmpl.h"
#include "containers/tqarraytmpl.h"
#include "engine/tq2dtypes.h"

TQ_DECLARE_TYPE_NAME(TQ2D_POINT_tag, "struct TQ2D_POINT_tag")

/// One motion track over a list of key points; see tq2danimationinfo.h.
class TQ2DAnimationInfo {
public:
    TQ2DAnimationInfo() = default;
    /// Deep copy.
    TQ2DAnimationInfo(const TQ2DAnimationInfo& other);
    /// Deep copy.
    TQ2DAnimationInfo& operator=(const TQ2DAnimationInfo& other);
    ~TQ2DAnimationInfo() = default;

    /// Starts the track and puts value on the first key point; nothing while already playing or
    /// without key points.
    void Play(TQ2D_POINT_tag& value);
    /// Moves value by dt seconds; nothing unless playing with key points.
    void Update(float dt, TQ2D_POINT_tag& value);
    /// The velocity from one point towards another at the current speed; (0, 0) when they coincide.
    void SetV(TQ2D_POINT_tag& from, TQ2D_POINT_tag& to);
    /// Pauses the track.
    void Stop() { m_bPlaying = 0; }
    /// Continues the current segment (no restart).
    void Resume() { m_bPlaying = 1; }
    /// Nonzero while playing.
    int IsPlaying() const { return m_bPlaying; }
    /// Number of key points.
    DWORD GetPointCount() const { return m_Points.GetSize(); }
    /// Puts value on key point 0, when there is one.
    void TakeFirstPoint(TQ2D_POINT_tag& value);

    TQ2D_POINT_tag* m_pFrom = nullptr; ///< key point the current segment starts from
    TQ2D_POINT_tag* m_pTo = nullptr;   ///< key point the current segment ends at
    /// Nonzero: passes repeat for ever.
    int m_bLoopForever = 0;
    /// Speed of a segment whose own speed is 0 (value units per second).
    float m_fDefaultSpeed = 100.0f;
    /// Number of passes (0 or 1: one).
    int m_nLoopCount = 0;
    /// The key points.
    TQArrayTmpl<TQ2D_POINT_tag> m_Points;
    float m_fWait = 0.0f; ///< seconds still to wait before the current segment moves
    /// Seconds to wait before each segment, by key point.
    TQArrayExTmpl<float> m_Waits;
    float m_fSpeed = 0.0f; ///< speed of the current segment
    /// Speed of each segment, by key point (0: the default speed).
    TQArrayExTmpl<float> m_Speeds;
    /// Nonzero while playing.
    int m_bPlaying = 0;
    int m_nIndex = 0; ///< key point the current segment ends at
    /// Passes completed.
    int m_nLoopNumber = 0;
    /// Velocity of the current segment (value units per second).
    TQ2D_POINT_tag m_ptVelocity = {0.0f, 0.0f};

private:
    // Wait and speed of the segment heading for key index.
    void BeginSegment(DWORD index);
    // Index of point in this track's key array, -1 when it is none of them.
    int IndexOfPoint(const TQ2D_POINT_tag* point) const;
    // The key point at index of this track (the array's default point when it has none there).
    TQ2D_POINT_tag* PointAt(int index);
};
