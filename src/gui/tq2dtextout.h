/// @file
/// TQ2DTextOut: draws printf-style formatted text with in-line mark-up into a rectangle of a texture.
///
/// Mark-up, a '$' and a letter (either case):
/// @code{.unparsed}
///   $Cn or $C#RRGGBB  text colour: n one character read as a number ('0'-'9' 0-9, letters 10-35)
///                     selecting an index colour (TQ2DGetIndexColor; 17 and above black), or a hex
///                     colour
///   $Bn or $B#RRGGBB  shadow colour, likewise
///   $Tn               effect: 0 plain, 1 shadow one pixel right and down, 2 one-pixel outline
///   $x (any other)    the '$' is dropped and x is drawn ("$$" draws "$")
/// @endcode
/// `\n` starts a new line (font height + 4 pixels). Lines too wide for the rectangle wrap, never
/// splitting a double-byte (GBK) character; lines stop once they reach the rectangle's bottom.
/// Text starts white with a black shadow. Afterwards every texel of the rectangle is replaced:
/// inked pixels opaque, glyph edges in their colour with their coverage as alpha (so they blend with
/// whatever the texture is drawn over), all others fully transparent (colour 0x010101).
#pragma once

#include "platform/gdi32/tqgdi32.h"
#include "platform/win32/tqwintypes.h"

class TQ2DTexture;

/// hFont NULL draws in the engine's default font. Nothing happens for a texture without a device
/// texture or when the drawing surface cannot be made.
void TQ2DTextOut(TQ2DTexture& tex, HFONT hFont, DWORD x, DWORD y, DWORD w, DWORD h, const char* szFormat, ...)
    __attribute__((format(printf, 7, 8)));
