/// @class TQ2DSceneObject
/// TQ2DSceneObject: a base class for the host's own scene objects. The library never derives from it
/// or calls it; the host overrides Init and Render.
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "platform/win32/tqwintypes.h"

class TQ2DSceneObject {
public:
    TQ2DSceneObject() = default;
    /// Copies the two values.
    TQ2DSceneObject(const TQ2DSceneObject&) = default;
    /// Copies the two values.
    TQ2DSceneObject& operator=(const TQ2DSceneObject&) = default;
    virtual ~TQ2DSceneObject() = default;

    /// 0 in the base.
    virtual int Init() { return 0; }
    /// false in the base.
    virtual bool Render(unsigned long) { return false; }

    /// Order by address: the sign of this object's address against other (-1 for NULL).
    int operator-(void* other) const;
    /// Order by address: the sign of this object against other.
    int operator-(TQ2DSceneObject& other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DSceneObject)

protected:
    /// A value for the host's use.
    DWORD m_dwValue = 0;
    /// A value for the host's use.
    float m_fValue = 0.0f;
};
