/// @file
/// TQGfxFont: text drawn from a bitmap font. One texture holds the glyphs side by side in rows; a
/// description file names the texture, gives the glyph height and lists the width of each of the
/// 256 character codes:
///
///     font.png 16
///     -32 8 4 6 ...
///
/// The texture name is relative to the description's folder. Tokens are separated by blanks and
/// line ends. A width w >= 0 places a glyph of w pixels for the next code; w < 0 skips |w| codes.
/// Glyphs are laid out left to right from (0, 0) and start a new row of glyph height when the next
/// one would pass the texture's right edge. Codes not listed have no glyph; a glyph that does not
/// fit into the texture is left out (with a line in the device log) and the others keep their places.
///
/// Each glyph is a TQGfxSprite with its hot spot at its top-left corner. A code without a glyph is
/// drawn as "?" when "?" has one, else skipped. A font that fails to load (logged to the device
/// log) draws nothing and measures 0.
///
/// The font holds one device reference for its life. Copies share the texture, which is freed
/// with the last of them.
#pragma once

#include "device/tqgfxdevice.h"

#include <memory>

class TQGfxSprite;

/// Text alignment of TQGfxFont::Render.
#define TQGFX_TEXT_LEFT 0
/// x is the right edge.
#define TQGFX_TEXT_RIGHT 1
/// x is the centre.
#define TQGFX_TEXT_CENTER 2

/// A bitmap font; see tqgfxfont.h.
class TQGfxFont {
public:
    /// Loads the description file `fileName` and its texture through the device.
    /// (TQGfxDevice::Resource_Load: its zip packs, else the disk; not the engine's resource packs).
    explicit TQGfxFont(const char* fileName);
    /// Shares the texture; copies the glyphs and the look; takes a device reference of its own.
    TQGfxFont(const TQGfxFont& other);
    /// Shares other's texture and copies its glyphs and look.
    TQGfxFont& operator=(const TQGfxFont& other);
    ~TQGfxFont();

    /// Draws `text` from (x, y), the top of the first line: align TQGFX_TEXT_LEFT (x is the left
    /// edge), TQGFX_TEXT_RIGHT (x is the right edge) or TQGFX_TEXT_CENTER. `\n` starts a new line,
    /// aligned by its own width, one scaled glyph height lower.
    void Render(float x, float y, const char* text, int align = TQGFX_TEXT_LEFT);
    /// Formats into 256 bytes (longer text is cut) and draws it left-aligned.
    void printf(float x, float y, const char* format, ...) __attribute__((format(printf, 4, 5)));
    /// The scaled width of `text` up to its first `\n` or its end, tracking included.
    float GetStringWidth(const char* text) const;

    /// Stored and set on every glyph at once.
    void SetColor(DWORD color);
    /// Depth 0..1, stored and set on every glyph.
    void SetZ(float z);
    /// Blend mode (TQ2D_BLEND_ bits), stored and set on every glyph.
    void SetBlendMode(int blend);
    /// Stored; used by the next Render.
    void SetScale(float scale) { m_fScale = scale; }
    /// Rotation of each glyph in radians; used by the next Render.
    void SetRotation(float rotation) { m_fRot = rotation; }
    /// Extra pixels between glyphs (scaled with them); used by the next Render.
    void SetTracking(float tracking) { m_fTracking = tracking; }

    /// The ARGB colour.
    DWORD GetColor() const { return m_dwCol; }
    /// The depth.
    float GetZ() const { return m_fZ; }
    /// The blend mode.
    int GetBlendMode() const { return m_nBlend; }
    /// The scale.
    float GetScale() const { return m_fScale; }
    /// The rotation in radians.
    float GetRotation() const { return m_fRot; }
    /// The tracking in pixels.
    float GetTracking() const { return m_fTracking; }
    /// The unscaled glyph height.
    float GetHeight() const { return m_fHeight; }
    /// The glyph texture's handle, 0 when the font failed to load.
    DWORD GetTexture() const { return m_hTexture; }
    /// The glyph of `code`, or NULL when it has none.
    const TQGfxSprite* GetGlyph(unsigned char code) const { return m_pLetters[code]; }

private:
    // Frees the texture with the last font sharing it.
    struct SharedTexture;

    void Load(const char* fileName);
    // Reads the height and the widths from `text` and places the glyphs; false when malformed.
    bool ReadGlyphs(const char* fileName, const char* text);
    // Places a glyph of `width` at the pen (x, y), starting a new row when needed, and moves the
    // pen past it; false (and no glyph) when it does not fit into the texture.
    bool PlaceGlyph(int code, long width, long* x, long* y);
    void CopyGlyphs(const TQGfxFont& other);
    void DeleteGlyphs();
    // The glyph drawn for `code`: its own, else the "?" glyph, else NULL.
    TQGfxSprite* DrawnGlyph(unsigned char code) const;
    // Where a line of `text` starts for the alignment.
    float LineStart(float x, const char* text, int align) const;

    TQGfxDevice* m_pDevice;
    DWORD m_hTexture;
    std::shared_ptr<SharedTexture> m_pTextureOwner;
    TQGfxSprite* m_pLetters[256];
    float m_fHeight;
    float m_fScale;
    float m_fRot;
    float m_fTracking;
    DWORD m_dwCol;
    float m_fZ;
    int m_nBlend;
};
