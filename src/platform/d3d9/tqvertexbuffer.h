// A vertex buffer.
#pragma once

#include "platform/d3d9/tqbufferobject.h"

namespace tqd3d9 {

class VertexBuffer : public BufferObject<IDirect3DVertexBuffer9, D3DRTYPE_VERTEXBUFFER> {
public:
    using BufferObject::BufferObject;
};

} // namespace tqd3d9
