#include "demodraw.h"

#include "engine/tq2dapi.h"

void DrawBox(float x, float y, float w, float h, unsigned long color) {
    TQ2D_QUAD_tag box{};
    const float corners[4][2] = {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}};
    for (int i = 0; i < 4; ++i) {
        box.v[i].x = corners[i][0];
        box.v[i].y = corners[i][1];
        box.v[i].z = 0.5f;
        box.v[i].col = color;
    }
    box.blend = TQ2D_BLEND_DEFAULT;
    TQ2DGfx_RenderQuad(&box);
}

void DrawFrame(float x, float y, float w, float h, unsigned long color) {
    const float x2 = x + w, y2 = y + h;
    TQ2DGfx_RenderLine(x, y, x2, y, color, 0.5f);
    TQ2DGfx_RenderLine(x2, y, x2, y2, color, 0.5f);
    TQ2DGfx_RenderLine(x2, y2, x, y2, color, 0.5f);
    TQ2DGfx_RenderLine(x, y2, x, y, color, 0.5f);
}
