#include "engine/tq2dsceneobject.h"

#include "containers/tqcompare.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DSceneObject)

int TQ2DSceneObject::operator-(void* other) const {
    if (!other)
        return -1;
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(other));
}

int TQ2DSceneObject::operator-(TQ2DSceneObject& other) const {
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(&other));
}
