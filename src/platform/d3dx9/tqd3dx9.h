/// @file
/// The D3DX 9 subset the engine uses: texture creation and loading from memory, saving a surface as
/// a BMP file, and the matrix functions. Declarations are our own; constant values are the platform's.
/// This reference leaves the declarations out: names, values and meanings are as on the platform.
#pragma once

#include "platform/d3d9/tqd3d9.h"

/// @cond PLATFORM_DECLARATIONS
// Sizes of D3DXCreateTextureFromFileInMemoryEx: the image's own size, or rounded up to a power of two.
#define D3DX_DEFAULT ((UINT)-1)
#define D3DX_DEFAULT_NONPOW2 ((UINT)-2)
#define D3DX_FROM_FILE ((UINT)-3)

#define D3DX_FILTER_NONE 0x00000001
#define D3DX_FILTER_POINT 0x00000002

/// @endcond
/// Image file formats; screenshots (TQ2DMakeScreenShot) are written as D3DXIFF_BMP only.
enum D3DXIMAGE_FILEFORMAT : DWORD {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    // Ours: a GIF image (the platform's list has none).
    TQ_D3DXIFF_GIF = 0x100,
};
/// @cond PLATFORM_DECLARATIONS

struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};

struct D3DXMATRIX : public D3DMATRIX {
    D3DXMATRIX() : D3DMATRIX() {}
};

// A texture of one level; format UNKNOWN means A8R8G8B8. Levels other than 0 and 1 still give one.
HRESULT D3DXCreateTexture(LPDIRECT3DDEVICE9 device, UINT width, UINT height, UINT mipLevels, DWORD usage,
                          D3DFORMAT format, D3DPOOL pool, LPDIRECT3DTEXTURE9* texture);

// Loads a PNG, JPEG, BMP, TGA or GIF image (through stb_image) or a DDS image (uncompressed or
// DXT1/3/5, level 0) into a texture of one level. Width and height 0, D3DX_DEFAULT_NONPOW2 or
// D3DX_FROM_FILE take the image's size, D3DX_DEFAULT rounds it up to a power of two; the image is
// copied to the top-left corner without scaling. Format UNKNOWN keeps the image's own format
// (A8R8G8B8 or X8R8G8B8 for decoded images). A non-zero colour key turns pixels of exactly that
// ARGB value into transparent black. `info` receives the image's own size and format.
// Corrupt, truncated or oversized images fail with D3DXERR_INVALIDDATA; memory that runs out on
// the way fails the load with E_OUTOFMEMORY (or D3DERR_OUTOFVIDEOMEMORY for the texture itself),
// never an exception. Failures log nothing; see TQ_D3DXGetLastLoadProblem.
HRESULT D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE9 device, LPCVOID data, UINT size, UINT width,
                                            UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* info, void* palette, LPDIRECT3DTEXTURE9* texture);

/// @endcond
/// Ours (the platform has no such call): why the calling thread's last
/// D3DXCreateTextureFromFileInMemoryEx failed, such as "corrupt image (not enough pixels)"; empty
/// after one that succeeded. The call itself logs nothing, so that its caller can name the file.
const char* TQ_D3DXGetLastLoadProblem();
/// @cond PLATFORM_DECLARATIONS

// Saves the surface (or the rectangle of it) as a 24-bit BMP file (D3DXIFF_BMP; other formats fail).
// The path goes through the platform's path resolver.
HRESULT D3DXSaveSurfaceToFileA(LPCSTR destFile, D3DXIMAGE_FILEFORMAT format, LPDIRECT3DSURFACE9 surface,
                               const void* palette, const RECT* sourceRect);

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out);
D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z);
D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz);
// Rotation about Z by angle radians (row vectors: x' = x cos - y sin, y' = x sin + y cos).
D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle);
// out = a x b; out may be a or b.
D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b);
// Left-handed orthographic projection of the box [left, right] x [bottom, top] x [zn, zf].
D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float left, float right, float bottom, float top,
                                       float zn, float zf);
/// @endcond
