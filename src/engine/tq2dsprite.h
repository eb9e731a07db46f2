/// @class TQ2DSprite
/// TQ2DSprite: the engine's sprite. One textured quad drawn through the device's sprite helper, with
/// an own texture, a stored render position, position / scale / rotation / alpha adjustments that
/// every draw applies, an optional base point that offsets every draw, a colour and blend mode that
/// survive a texture change, a timed alpha fade and a reader for sprite description files.
///
/// Without a helper (before a successful Create) setters do nothing and getters give neutral values.
/// Copies are deep: each copy has its own helper (copied whole through CopyHelper) and its own
/// texture reference.
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "engine/tq2dtexture.h"
#include "engine/tq2dtypes.h"

class TQGfxSprite;
class TQ2DFileConfig;
class TQString;

class TQ2DSprite {
public:
    TQ2DSprite();
    /// Create(file, x, y, w, h); the result is dropped.
    TQ2DSprite(const char* file, float x, float y, float w, float h);
    /// Create(texture, x, y, w, h): the sprite draws with that texture, which must outlive it.
    TQ2DSprite(TQ2DTexture& texture, float x, float y, float w, float h);
    /// Deep copy: a helper of its own and a texture reference of its own.
    TQ2DSprite(const TQ2DSprite& other);
    /// Deep copy.
    TQ2DSprite& operator=(const TQ2DSprite& other);
    virtual ~TQ2DSprite();

    /// Reads a sprite description file (packs, then disk): 1, or 0 when the name is empty, the file
    /// cannot be read or its texture cannot be loaded.
    virtual int CreateFromConfig(const char* name);
    /// Called after every Render, RenderEx and RenderStretch with the point drawn and group 0.
    virtual void OnRender(float x, float y, unsigned long group);

    /// A helper on a device texture with the source rectangle (x, y, w, h): non-zero, 0 on failure.
    int Create(unsigned long texture, float x, float y, float w, float h);
    /// On a texture object; w or h 0 take the texture's surface size. 0 when it has no texture.
    int Create(TQ2DTexture& texture, float x, float y, float w, float h);
    /// Loads the own texture from file (cache, packs, disk) and shows (x, y, w, h) of it.
    int Create(const char* file, float x, float y, float w, float h);
    /// An empty w x h own texture, shown whole.
    int Create(unsigned long width, unsigned long height);
    /// Deletes the helper and releases the own texture.
    void Delete();

    /// Draws with the hot spot at (x, y), plus the adjustments and the base point.
    void Render(float x, float y);
    /// At the render position.
    void Render();
    /// Rotated by rot radians (plus the rotation adjustment) and scaled by hscale / vscale (plus the
    /// scale adjustments minus 1).
    void RenderEx(float x, float y, float rot, float hscale = 1.0f, float vscale = 0.0f);
    /// Stretched over (x1, y1)-(x2, y2), both moved by the adjustments and the base point.
    void RenderStretch(float x1, float y1, float x2, float y2);
    /// Corners at the four points (each moved by the adjustments and the base point).
    void Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);

    /// Stores the position Render() draws at.
    void SetRenderPos(float x, float y);
    /// The stored render position.
    TQ2D_POINT_tag& GetRenderPos() { return m_ptRender; }
    /// Where the last draw put the sprite (adjustments and base point included).
    TQ2D_POINT_tag& GetRenderCurrentPos() { return m_ptRenderCurrent; }
    /// A point added to every draw (NULL for none); the caller's memory, not owned.
    void SetBasePT(TQ2D_POINT_tag* point) { m_pBasePoint = point; }
    /// The base point, NULL for none.
    TQ2D_POINT_tag* GetBasePT() const { return m_pBasePoint; }
    /// Position (0, 0), rotation (0, 0), scale (1, 1), alpha (255, 255).
    void ClearAdjust();

    /// Colour of corner 0..3 or of all four (-1); remembered for later textures.
    void SetColor(unsigned long color, int vertex = -1);
    /// 0xFF000000 without a helper.
    unsigned long GetColor(int vertex = 0) const;
    /// Makes the corner(s) white with this alpha.
    void SetAlpha(unsigned char alpha, int vertex = -1);
    /// Alpha of a corner (the top byte of GetColor).
    unsigned char GetAlpha(int vertex = 0) const;
    /// The alpha from the description file (255 by default).
    unsigned char GetDefaultAlpha() const { return m_byDefaultAlpha; }
    /// Blend mode (TQ2D_BLEND_ bits); remembered for later textures.
    void SetBlendMode(int mode);
    /// The blend mode, 0 without a helper.
    int GetBlendMode() const;
    /// Depth 0..1 of corner 0..3 or of all four (-1).
    void SetZ(float z, int vertex = -1);
    /// Depth of a corner, 0 without a helper.
    float GetZ(int vertex = 0) const;

    /// Changes the helper's texture and applies the remembered colour and blend mode again.
    void SetTexture(unsigned long texture);
    /// The helper's texture handle, 0 without a helper.
    unsigned long GetTexture() const;
    /// New source rectangle in texels (also the drawn size).
    void SetTextureRect(float x, float y, float w, float h);
    /// The source rectangle; nothing without a helper or for a NULL pointer.
    void GetTextureRect(float* x, float* y, float* w, float* h) const;
    /// Point of the source rectangle (texels from its top left) placed at the drawing position.
    void SetHotSpot(float x, float y);
    /// The hot spot.
    void GetHotSpot(float* x, float* y) const;
    /// Mirrors the texture horizontally (h) and / or vertically (v).
    void SetFlip(bool h, bool v);
    /// The flips.
    void GetFlip(bool* h, bool* v) const;
    /// Drawn width in pixels, 0 without a helper.
    float GetWidth() const;
    /// Drawn height in pixels, 0 without a helper.
    float GetHeight() const;
    /// The own texture (empty when the sprite draws with a texture it does not own).
    TQ2DTexture& GetTQ2DTexture() { return m_texture; }
    /// The helper (NULL before Create).
    void* GetObjectA() const { return m_pSprite; }

    /// Starts a fade of every corner's alpha towards target at speed alpha units per second.
    void SetAniAlpha(unsigned char target, float speed);
    /// 1 while a fade runs.
    int GetAniAlphaMode() const { return m_fFadeDirection != 0.0f ? 1 : 0; }
    /// Advances the fade by dt seconds; it ends exactly on its target.
    void Update(float dt);

    /// Order by address: the sign of this object against other.
    int operator-(TQ2DSprite& other) const;
    /// Order by address; -1 for NULL.
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DSprite)

protected:
    /// Adds the position adjustment and the base point to (x, y).
    TQ2D_POINT_tag Adjusted(float x, float y) const;
    /// Adjusted, stored as the current render position.
    TQ2D_POINT_tag DrawPoint(float x, float y);
    /// Deletes the helper (NULL after). A derived class whose helper is of a derived type deletes it
    /// as that type.
    virtual void DeleteHelper();
    /// A new copy of other's helper (NULL when other has none or memory is short). A derived class
    /// whose helper is of a derived type copies it whole (and may note the helper it made).
    virtual TQGfxSprite* CopyHelper(const TQ2DSprite& other);

    /// The own texture.
    TQ2DTexture m_texture;
    /// The helper, NULL before Create.
    TQGfxSprite* m_pSprite = nullptr;
    /// Position Render() draws at.
    TQ2D_POINT_tag m_ptRender = {0.0f, 0.0f};
    /// Where the last draw put the sprite.
    TQ2D_POINT_tag m_ptRenderCurrent = {0.0f, 0.0f};
    /// Alpha from the description file.
    unsigned char m_byDefaultAlpha = 255;
    /// Nonzero once SetColor was called.
    BOOL m_bColorSet = 0;
    /// Nonzero once SetBlendMode was called.
    BOOL m_bBlendSet = 0;
    /// The remembered colour.
    DWORD m_dwColor = 0;
    /// The remembered blend mode.
    int m_nBlendMode = 2;
    /// The base point, NULL for none (not owned).
    TQ2D_POINT_tag* m_pBasePoint = nullptr;
    /// Position adjustment in pixels.
    TQ2D_POINT_tag m_ptPosAdjust = {0.0f, 0.0f};
    /// Scale adjustment (1 = none).
    TQ2D_POINT_tag m_ptScaleAdjust = {1.0f, 1.0f};
    /// Rotation adjustment in degrees.
    TQ2D_POINT_tag m_ptRotationAdjust = {0.0f, 0.0f};
    /// Alpha adjustment (255 = none).
    TQ2D_POINT_tag m_ptAlphaAdjust = {255.0f, 255.0f};
    /// Alpha the fade ends on.
    float m_fFadeTarget = 0.0f;
    /// Alpha of the fade now.
    float m_fFadeCurrent = 0.0f;
    /// +1 or -1 while fading, 0 otherwise.
    float m_fFadeDirection = 0.0f;
    /// Alpha units per second of the fade.
    float m_fFadeSpeed = 0.0f;

private:
    // Replaces the helper by one on texture (0 when it cannot be made).
    int CreateHelper(DWORD texture, float x, float y, float w, float h);
    // Reads the description's keys once its file has loaded.
    int ApplyConfig(const TQ2DFileConfig& config, const TQString& name);
};
