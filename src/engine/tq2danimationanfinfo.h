/// @class TQ2DAnimationANFInfo
/// TQ2DAnimationANFInfo: one animation attached to another, drawn and updated with it. The child is
/// owned: destroying the entry deletes it, and copying the entry copies the child whole.
#pragma once

#include "containers/tqmemorypooltmpl.h"

class TQ2DAnimation;

class TQ2DAnimationANFInfo {
public:
    TQ2DAnimationANFInfo() = default;
    /// Copies the entry and the child whole.
    TQ2DAnimationANFInfo(const TQ2DAnimationANFInfo& other);
    /// Replaces the child by a copy of other's.
    TQ2DAnimationANFInfo& operator=(const TQ2DAnimationANFInfo& other);
    ~TQ2DAnimationANFInfo();

    /// Non-zero: the offset is a screen position; 0: it is relative to the parent's drawn position.
    int m_bAbsolute = 0;
    /// Drawn by the parent's OnRender for this group (and for group 0).
    unsigned long m_dwGroup = 0;
    /// Horizontal offset in pixels.
    float m_fOffsetX = 0.0f;
    /// Vertical offset in pixels.
    float m_fOffsetY = 0.0f;
    /// Owned; NULL for none.
    TQ2DAnimation* m_pChild = nullptr;

    TQ_DECLARE_MEMORY_POOL(TQ2DAnimationANFInfo)
};
