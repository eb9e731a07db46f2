#include "engine/tq2danimationanfinfo.h"

#include "engine/tq2danimation.h"

// Its pool is defined with the animation's (tq2danimation.cpp).

TQ2DAnimationANFInfo::TQ2DAnimationANFInfo(const TQ2DAnimationANFInfo& other) {
    *this = other;
}

// The child is copied whole, so that each entry deletes only its own.
TQ2DAnimationANFInfo& TQ2DAnimationANFInfo::operator=(const TQ2DAnimationANFInfo& other) {
    if (this == &other)
        return *this;
    TQ2DAnimation* child = other.m_pChild ? new TQ2DAnimation(*other.m_pChild) : nullptr;
    delete m_pChild;
    m_pChild = child;
    m_bAbsolute = other.m_bAbsolute;
    m_dwGroup = other.m_dwGroup;
    m_fOffsetX = other.m_fOffsetX;
    m_fOffsetY = other.m_fOffsetY;
    return *this;
}

TQ2DAnimationANFInfo::~TQ2DAnimationANFInfo() {
    delete m_pChild;
}
