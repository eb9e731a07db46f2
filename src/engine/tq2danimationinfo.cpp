#include "engine/tq2danimationinfo.h"

#include <cfloat>
#include <cmath>

namespace {

bool IsNearZero(float value) {
    return value > -FLT_EPSILON && value < FLT_EPSILON;
}

// An axis has arrived when it does not move or has reached (or passed) the key's coordinate.
bool AxisArrived(float velocity, float key, float value) {
    return velocity == 0.0f || (velocity > 0.0f && key <= value) || (velocity < 0.0f && key >= value);
}

// The move of one axis in dt seconds: velocity x dt plus dt x dt / 2. The added half square would
// turn a slow negative move backwards (the key would never be reached), so such a move goes
// without it.
float Step(float velocity, float dt) {
    const float step = velocity * dt + dt * dt * 0.5f;
    return (velocity < 0.0f && step > 0.0f) ? velocity * dt : step;
}

} // namespace

TQ2DAnimationInfo::TQ2DAnimationInfo(const TQ2DAnimationInfo& other) {
    *this = other;
}

// The arrays are copied with their own copy operations (their items duplicated); the segment
// pointers are re-aimed at the same indexes of the copied array.
TQ2DAnimationInfo& TQ2DAnimationInfo::operator=(const TQ2DAnimationInfo& other) {
    if (this == &other)
        return *this;
    const int from = other.IndexOfPoint(other.m_pFrom);
    const int to = other.IndexOfPoint(other.m_pTo);
    m_Points = other.m_Points;
    m_Waits = other.m_Waits;
    m_Speeds = other.m_Speeds;
    m_pFrom = from >= 0 ? PointAt(from) : nullptr;
    m_pTo = to >= 0 ? PointAt(to) : nullptr;
    m_bLoopForever = other.m_bLoopForever;
    m_fDefaultSpeed = other.m_fDefaultSpeed;
    m_nLoopCount = other.m_nLoopCount;
    m_fWait = other.m_fWait;
    m_fSpeed = other.m_fSpeed;
    m_bPlaying = other.m_bPlaying;
    m_nIndex = other.m_nIndex;
    m_nLoopNumber = other.m_nLoopNumber;
    m_ptVelocity = other.m_ptVelocity;
    return *this;
}

int TQ2DAnimationInfo::IndexOfPoint(const TQ2D_POINT_tag* point) const {
    if (!point)
        return -1;
    for (DWORD i = 0; i < m_Points.GetSize(); ++i) {
        if (m_Points.GetAt(i) == point)
            return static_cast<int>(i);
    }
    return -1;
}

TQ2D_POINT_tag* TQ2DAnimationInfo::PointAt(int index) {
    return &m_Points[static_cast<DWORD>(index)];
}

void TQ2DAnimationInfo::TakeFirstPoint(TQ2D_POINT_tag& value) {
    if (GetPointCount())
        value = *PointAt(0);
}

void TQ2DAnimationInfo::BeginSegment(DWORD index) {
    m_fWait = *m_Waits.GetAt(index);
    m_fSpeed = *m_Speeds.GetAt(index);
    if (m_fSpeed == 0.0f)
        m_fSpeed = m_fDefaultSpeed;
}

void TQ2DAnimationInfo::Play(TQ2D_POINT_tag& value) {
    const DWORD count = GetPointCount();
    if (m_bPlaying || count == 0)
        return;
    m_bPlaying = 1;
    m_nIndex = 0;
    m_nLoopNumber = 0;
    BeginSegment(0);
    m_pFrom = PointAt(0);
    value = *m_pFrom;
    m_nIndex = static_cast<int>(1 % count);
    m_pTo = PointAt(m_nIndex);
    SetV(*m_pFrom, *m_pTo);
}

void TQ2DAnimationInfo::SetV(TQ2D_POINT_tag& from, TQ2D_POINT_tag& to) {
    const float dx = to.x - from.x;
    const float dy = to.y - from.y;
    const float d = std::sqrt(dy * dy + dx * dx);
    if (IsNearZero(d) || !std::isfinite(d)) {
        m_ptVelocity = {0.0f, 0.0f};
        return;
    }
    m_ptVelocity.x = dx / d * m_fSpeed;
    m_ptVelocity.y = dy / d * m_fSpeed;
    if (IsNearZero(m_ptVelocity.x))
        m_ptVelocity.x = 0.0f;
    if (IsNearZero(m_ptVelocity.y))
        m_ptVelocity.y = 0.0f;
}

void TQ2DAnimationInfo::Update(float dt, TQ2D_POINT_tag& value) {
    const DWORD count = GetPointCount();
    if (!m_bPlaying || count == 0)
        return;
    m_fWait -= dt;
    if (m_fWait > 0.0f)
        return;
    if (m_ptVelocity.x != 0.0f)
        value.x += Step(m_ptVelocity.x, dt);
    if (m_ptVelocity.y != 0.0f)
        value.y += Step(m_ptVelocity.y, dt);
    // An index changed from outside is brought back into the key range.
    if (m_nIndex < 0 || static_cast<DWORD>(m_nIndex) >= count)
        m_nIndex = 0;
    m_pFrom = PointAt(m_nIndex);
    if (!AxisArrived(m_ptVelocity.x, m_pFrom->x, value.x) ||
        !AxisArrived(m_ptVelocity.y, m_pFrom->y, value.y))
        return;
    value = *m_pFrom;
    if (static_cast<DWORD>(++m_nIndex) >= count) {
        m_nIndex = 0;
        ++m_nLoopNumber;
        if (!m_bLoopForever && m_nLoopNumber >= m_nLoopCount) {
            m_ptVelocity = {0.0f, 0.0f};
            m_bPlaying = 0;
            return;
        }
    }
    BeginSegment(static_cast<DWORD>(m_nIndex));
    m_pTo = PointAt(m_nIndex);
    SetV(*m_pFrom, *m_pTo);
}
