/// @file
/// Value types shared by the engine's exported interface.
#pragma once

#include "platform/d3dx9/tqd3dx9.h"

/// A point: positions, scale pairs, rotation and alpha values.
struct TQ2D_POINT_tag {
    /// Horizontal value.
    float x;
    /// Vertical value.
    float y;
};

/// A rectangle: left, top, right, bottom.
struct TQ2D_RECT_tag {
    /// Left edge.
    float left;
    /// Top edge.
    float top;
    /// Right edge.
    float right;
    /// Bottom edge.
    float bottom;
};

/// Image file format of a screenshot (the D3DX file formats; BMP is the one the saver writes).
typedef D3DXIMAGE_FILEFORMAT TQ2D_IMAGE_FORMAT;
