/// @class RAnimation
/// RAnimation: a frame animation on a texture resource; the sprite's parameters plus frame count,
/// speed and play mode.
#pragma once

#include "helpers/rsprite.h"

class RAnimation : public RSprite {
public:
    /// The sprite defaults, 1 frame at 12 frames per second, mode 4 (forward, looping).
    RAnimation();

    /// A new TQGfxAnimation with the sprite's look and the mode.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Deletes the animation.
    void Free() override;

    /// Number of frames.
    int frames;
    /// Frames per second.
    float fps;
    /// Play mode bits (TQGfxAnimation::kReverse, kPingPong, kLoop).
    int mode;
};
