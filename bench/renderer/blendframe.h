// The plain scene's frame as a plain C loop: the disc's texels blended straight into the frame with
// the renderer's arithmetic (alpha test >= 1, SRCALPHA/INVSRCALPHA rounded as in tqpixelmath.h), so
// its frame must equal the engine's exactly. blendframe.cpp is built twice: for any x86-64 (generic)
// and, where the compiler accepts -march=native, for this machine (native).
#pragma once

#include "spritescene.h"

#include <cstddef>

namespace bench {

// Clears `frame` (kFrameWidth x kFrameHeight) and blends the kDisc x kDisc `texels` at every placement.
typedef void (*BlendFrameFunction)(uint32_t* frame, const uint32_t* texels, const Placement* placements,
                                   size_t count);

namespace generic {
void BlendFrame(uint32_t* frame, const uint32_t* texels, const Placement* placements, size_t count);
}
namespace native {
void BlendFrame(uint32_t* frame, const uint32_t* texels, const Placement* placements, size_t count);
}

} // namespace bench
