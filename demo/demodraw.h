// Plain shapes the scenes draw with the engine's drawing calls: filled boxes and frames.
#pragma once

// A box filled with one ARGB colour, blended by its alpha.
void DrawBox(float x, float y, float w, float h, unsigned long color);
// The outline of a box, one pixel wide.
void DrawFrame(float x, float y, float w, float h, unsigned long color);
