// An index buffer of 16-bit indices.
#pragma once

#include "platform/d3d9/tqbufferobject.h"

namespace tqd3d9 {

class IndexBuffer : public BufferObject<IDirect3DIndexBuffer9, D3DRTYPE_INDEXBUFFER> {
public:
    using BufferObject::BufferObject;
};

} // namespace tqd3d9
