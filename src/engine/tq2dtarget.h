/// @class TQ2DTarget
/// TQ2DTarget: owns one device render target. Its handle is what TQ2DGfx_BeginScene takes; its
/// texture handle is what sprites draw with. Copies are empty: a target is never shared. Does
/// nothing while the engine has no device, and never frees a target on a later engine than the one
/// that made it.
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "platform/win32/tqwintypes.h"

class TQ2DTarget {
public:
    TQ2DTarget() = default;
    /// Create(width, height, zBuffer); the result is dropped.
    TQ2DTarget(unsigned long width, unsigned long height, bool zBuffer);
    /// A copy owns no target (the render target cannot be shared or duplicated).
    TQ2DTarget(const TQ2DTarget&) {}
    /// Frees the own target; the object then owns none.
    TQ2DTarget& operator=(const TQ2DTarget& other);
    ~TQ2DTarget();

    /// Replaces the target by a new one of w x h (with a depth buffer when zBuffer): its handle, or 0.
    int Create(unsigned long width, unsigned long height, bool zBuffer);
    /// Frees the target.
    void Delete();

    /// The target's texture handle, 0 without one.
    DWORD GetTexture() const;
    /// The target texture's size (the real, possibly rounded-up size unless imageSize); 0 without one.
    DWORD GetWidth(bool imageSize = false) const;
    /// Height; see GetWidth.
    DWORD GetHeight(bool imageSize = false) const;
    /// The handle; 0 without one, or when it belongs to an engine closed since.
    operator unsigned long() const { return LiveTarget(); }

    /// Order by address: the sign of this object against other.
    int operator-(TQ2DTarget& other) const;
    /// Order by address; -1 for NULL.
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DTarget)

private:
    DWORD LiveTarget() const;

    DWORD m_dwTarget = 0;
    DWORD m_dwSerial = 0; // the engine start-up whose device made the target
};
