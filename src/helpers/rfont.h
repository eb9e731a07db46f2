/// @class RFont
/// RFont: a bitmap font loaded from its description file, with its colour, depth, blend mode,
/// scale, tracking and rotation.
#pragma once

#include "helpers/resdesc.h"

class RFont : public ResDesc {
public:
    /// Blend mode 2, white, depth 0.5, scale 1, no tracking, no rotation.
    RFont();

    /// A new TQGfxFont with the stored look.
    DWORD_PTR Get(TQGfxResourceManager* manager) override;
    /// Deletes the font.
    void Free() override;

    /// The font description file's name.
    char filename[TQGFX_RES_NAME_SIZE];
    /// Blend mode (TQ2D_BLEND_ bits).
    int blend;
    /// ARGB colour.
    DWORD color;
    /// Depth, 0..1.
    float z;
    /// Scale factor.
    float scale;
    /// Extra pixels between glyphs (before scaling).
    float tracking;
    /// Rotation of every glyph, radians.
    float rotation;
};
