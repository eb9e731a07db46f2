/// @class TQGfxSprite
/// TQGfxSprite: the device's textured quad. A source rectangle cut out of a texture, with a hot spot
/// (the point placed at the draw position and the centre of rotation and scaling), per-corner colour
/// and depth, flips and a blend mode. Every draw fills the quad's corners (top-left, top-right,
/// bottom-right, bottom-left) and hands it to Gfx_RenderQuad.
///
/// Each sprite holds one reference on the shared device (TQGfxCreate(16)) for its whole life,
/// copies included. The sprite never frees its texture. Corner arguments are 0 to 3 (-1 = all four
/// where stated); others are ignored.
#pragma once

#include "device/tqgfxdevice.h"
#include "device/tqgfxrect.h"

class TQGfxSprite {
public:
    /// A sprite on texture (0 = none) showing the source rectangle (x, y, w, h) in texels: white
    /// corners at depth 0.5, hot spot (0, 0), no flips, the default blend mode.
    TQGfxSprite(DWORD texture, float x, float y, float w, float h);
    /// Copies the sprite and takes a device reference of its own.
    TQGfxSprite(const TQGfxSprite& other);
    /// Copies the sprite's settings.
    TQGfxSprite& operator=(const TQGfxSprite& other);
    ~TQGfxSprite();

    /// Hot spot at (x, y), unscaled and unrotated.
    void Render(float x, float y);
    /// Rotated by rot radians (clockwise on screen) and scaled about the hot spot; vscale 0 takes
    /// hscale.
    void RenderEx(float x, float y, float rot, float hscale = 1.0f, float vscale = 0.0f);
    /// Stretched over the rectangle (x1, y1)-(x2, y2); the hot spot is ignored.
    void RenderStretch(float x1, float y1, float x2, float y2);
    /// Corners at the four points, in corner order.
    void Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);
    /// The box RenderEx would cover (vscale used as given); nothing is drawn. Returns rect.
    TQGfxRect* GetBoundingBoxEx(float x, float y, float rot, float hscale, float vscale,
                                TQGfxRect* rect) const;

    /// Changes the texture; the texel rectangle and the flips are kept when the texture size changes.
    void SetTexture(DWORD texture);
    /// New source rectangle (also the drawn size); the flips are kept.
    void SetTextureRect(float x, float y, float w, float h);
    /// Mirrors the texture coordinates left-right and / or top-bottom (the hot spot is not mirrored).
    void SetFlip(bool flipX, bool flipY);
    /// ARGB colour of one corner (0..3), or of all four for -1.
    void SetColor(DWORD color, int corner = -1);
    /// Depth of one corner (0..3), or of all four for -1.
    void SetZ(float z, int corner = -1);
    /// Blend mode (TQ2D_BLEND_ flags).
    void SetBlendMode(int blend) { m_quad.blend = blend; }
    /// Point of the source rectangle, in texels from its top left, placed at the drawing position.
    void SetHotSpot(float x, float y);

    /// The texture handle (0 = none).
    DWORD GetTexture() const { return m_quad.tex; }
    /// The source rectangle in texels.
    void GetTextureRect(float* x, float* y, float* w, float* h) const;
    /// 0 for a corner outside 0..3.
    DWORD GetColor(int corner = 0) const;
    /// Depth of a corner; 0 for a corner outside 0..3.
    float GetZ(int corner = 0) const;
    /// The blend mode.
    int GetBlendMode() const { return m_quad.blend; }
    /// The hot spot.
    void GetHotSpot(float* x, float* y) const;
    /// The flips.
    void GetFlip(bool* flipX, bool* flipY) const;
    /// Drawn width in pixels (the source rectangle's).
    float GetWidth() const { return m_fWidth; }
    /// Drawn height in pixels (the source rectangle's).
    float GetHeight() const { return m_fHeight; }

protected:
    /// Draws from the texel rectangle (x, y, w, h) of the texture, flipped as the sprite is, while
    /// the source rectangle stays as it was set.
    void ShowTexels(float x, float y, float w, float h);
    /// The texture's surface width the texture coordinates divide by (1.0 without a texture).
    float TextureWidth() const { return m_fTexWidth; }

private:
    // The texture's surface size as a divisor: 1.0 without a texture or a size to report.
    float SurfaceWidth(DWORD texture) const;
    float SurfaceHeight(DWORD texture) const;
    // Sets the four corners' texture coordinates from (left, top) and (right, bottom).
    void SetCornerUV(float left, float top, float right, float bottom);
    void SetPosition(int corner, float x, float y);
    // The four corners of RenderEx, without drawing.
    void TransformCorners(float x, float y, float rot, float hscale, float vscale, float out[8]) const;
    void Draw();

    TQGfxDevice* m_pDevice;
    TQ2D_QUAD_tag m_quad;
    float m_fTexX, m_fTexY;
    float m_fWidth, m_fHeight;
    float m_fTexWidth, m_fTexHeight;
    float m_fHotX, m_fHotY;
    bool m_bFlipX, m_bFlipY;
};
