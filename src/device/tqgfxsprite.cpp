#include "device/tqgfxsprite.h"

#include <cmath>
#include <utility>

namespace {

bool IsCorner(int corner) {
    return corner >= 0 && corner <= 3;
}

// A texture dimension as a divisor: 1.0 without a texture or for a size the device cannot report.
float SurfaceSize(int size) {
    return size > 0 ? static_cast<float>(size) : 1.0f;
}

} // namespace

TQGfxSprite::TQGfxSprite(DWORD texture, float x, float y, float w, float h)
    : m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_quad(), m_fTexX(x), m_fTexY(y), m_fWidth(w),
      m_fHeight(h), m_fTexWidth(SurfaceWidth(texture)), m_fTexHeight(SurfaceHeight(texture)), m_fHotX(0.0f),
      m_fHotY(0.0f), m_bFlipX(false), m_bFlipY(false) {
    m_quad.tex = texture;
    m_quad.blend = TQ2D_BLEND_DEFAULT;
    ShowTexels(x, y, w, h);
    SetZ(0.5f, -1);
    SetColor(0xFFFFFFFF, -1);
}

TQGfxSprite::TQGfxSprite(const TQGfxSprite& other)
    : m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_quad(other.m_quad), m_fTexX(other.m_fTexX),
      m_fTexY(other.m_fTexY), m_fWidth(other.m_fWidth), m_fHeight(other.m_fHeight),
      m_fTexWidth(other.m_fTexWidth), m_fTexHeight(other.m_fTexHeight), m_fHotX(other.m_fHotX),
      m_fHotY(other.m_fHotY), m_bFlipX(other.m_bFlipX), m_bFlipY(other.m_bFlipY) {}

// Copies the drawing state; each sprite keeps its own device reference.
TQGfxSprite& TQGfxSprite::operator=(const TQGfxSprite& other) {
    m_quad = other.m_quad;
    m_fTexX = other.m_fTexX;
    m_fTexY = other.m_fTexY;
    m_fWidth = other.m_fWidth;
    m_fHeight = other.m_fHeight;
    m_fTexWidth = other.m_fTexWidth;
    m_fTexHeight = other.m_fTexHeight;
    m_fHotX = other.m_fHotX;
    m_fHotY = other.m_fHotY;
    m_bFlipX = other.m_bFlipX;
    m_bFlipY = other.m_bFlipY;
    return *this;
}

TQGfxSprite::~TQGfxSprite() {
    if (m_pDevice)
        m_pDevice->Release();
}

float TQGfxSprite::SurfaceWidth(DWORD texture) const {
    return texture && m_pDevice ? SurfaceSize(m_pDevice->Texture_GetWidth(texture, false)) : 1.0f;
}

float TQGfxSprite::SurfaceHeight(DWORD texture) const {
    return texture && m_pDevice ? SurfaceSize(m_pDevice->Texture_GetHeight(texture, false)) : 1.0f;
}

void TQGfxSprite::SetCornerUV(float left, float top, float right, float bottom) {
    const float u[4] = {left, right, right, left};
    const float v[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) {
        m_quad.v[i].tx = u[i];
        m_quad.v[i].ty = v[i];
    }
}

void TQGfxSprite::ShowTexels(float x, float y, float w, float h) {
    SetCornerUV(x / m_fTexWidth, y / m_fTexHeight, (x + w) / m_fTexWidth, (y + h) / m_fTexHeight);
    const bool flipX = m_bFlipX;
    const bool flipY = m_bFlipY;
    m_bFlipX = false;
    m_bFlipY = false;
    SetFlip(flipX, flipY);
}

void TQGfxSprite::SetPosition(int corner, float x, float y) {
    m_quad.v[corner].x = x;
    m_quad.v[corner].y = y;
}

void TQGfxSprite::Draw() {
    if (m_pDevice)
        m_pDevice->Gfx_RenderQuad(&m_quad);
}

void TQGfxSprite::Render(float x, float y) {
    const float left = x - m_fHotX;
    const float top = y - m_fHotY;
    const float right = x + m_fWidth - m_fHotX;
    const float bottom = y + m_fHeight - m_fHotY;
    SetPosition(0, left, top);
    SetPosition(1, right, top);
    SetPosition(2, right, bottom);
    SetPosition(3, left, bottom);
    Draw();
}

void TQGfxSprite::TransformCorners(float x, float y, float rot, float hscale, float vscale,
                                   float out[8]) const {
    const float a1 = -m_fHotX * hscale;
    const float b1 = -m_fHotY * vscale;
    const float a2 = (m_fWidth - m_fHotX) * hscale;
    const float b2 = (m_fHeight - m_fHotY) * vscale;
    const float a[4] = {a1, a2, a2, a1};
    const float b[4] = {b1, b1, b2, b2};
    if (rot == 0.0f) {
        for (int i = 0; i < 4; ++i) {
            out[2 * i] = a[i] + x;
            out[2 * i + 1] = b[i] + y;
        }
        return;
    }
    const float c = std::cos(rot);
    const float s = std::sin(rot);
    for (int i = 0; i < 4; ++i) {
        out[2 * i] = a[i] * c - b[i] * s + x;
        out[2 * i + 1] = a[i] * s + b[i] * c + y;
    }
}

void TQGfxSprite::RenderEx(float x, float y, float rot, float hscale, float vscale) {
    if (vscale == 0.0f)
        vscale = hscale;
    float corners[8];
    TransformCorners(x, y, rot, hscale, vscale, corners);
    for (int i = 0; i < 4; ++i)
        SetPosition(i, corners[2 * i], corners[2 * i + 1]);
    Draw();
}

void TQGfxSprite::RenderStretch(float x1, float y1, float x2, float y2) {
    Render4V(x1, y1, x2, y1, x2, y2, x1, y2);
}

void TQGfxSprite::Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    SetPosition(0, x0, y0);
    SetPosition(1, x1, y1);
    SetPosition(2, x2, y2);
    SetPosition(3, x3, y3);
    Draw();
}

TQGfxRect* TQGfxSprite::GetBoundingBoxEx(float x, float y, float rot, float hscale, float vscale,
                                         TQGfxRect* rect) const {
    rect->Clear();
    float corners[8];
    TransformCorners(x, y, rot, hscale, vscale, corners);
    for (int i = 0; i < 4; ++i)
        rect->AddPoint(corners[2 * i], corners[2 * i + 1]);
    return rect;
}

// Texel values of the (possibly flipped) top-left and bottom-right corners carry over to the new
// size, so both the rectangle and the flips survive.
void TQGfxSprite::SetTexture(DWORD texture) {
    m_quad.tex = texture;
    const float width = SurfaceWidth(texture);
    const float height = SurfaceHeight(texture);
    if (width == m_fTexWidth && height == m_fTexHeight)
        return;
    const float left = m_quad.v[0].tx * m_fTexWidth / width;
    const float top = m_quad.v[0].ty * m_fTexHeight / height;
    const float right = m_quad.v[2].tx * m_fTexWidth / width;
    const float bottom = m_quad.v[2].ty * m_fTexHeight / height;
    m_fTexWidth = width;
    m_fTexHeight = height;
    SetCornerUV(left, top, right, bottom);
}

void TQGfxSprite::SetTextureRect(float x, float y, float w, float h) {
    m_fTexX = x;
    m_fTexY = y;
    m_fWidth = w;
    m_fHeight = h;
    ShowTexels(x, y, w, h);
}

void TQGfxSprite::SetFlip(bool flipX, bool flipY) {
    TQ2D_VERTEX_tag* v = m_quad.v;
    auto swapUV = [](TQ2D_VERTEX_tag& a, TQ2D_VERTEX_tag& b) {
        std::swap(a.tx, b.tx);
        std::swap(a.ty, b.ty);
    };
    if (flipX != m_bFlipX) {
        swapUV(v[0], v[1]);
        swapUV(v[3], v[2]);
        m_bFlipX = !m_bFlipX;
    }
    if (flipY != m_bFlipY) {
        swapUV(v[0], v[3]);
        swapUV(v[1], v[2]);
        m_bFlipY = !m_bFlipY;
    }
}

void TQGfxSprite::SetColor(DWORD color, int corner) {
    if (corner == -1) {
        for (TQ2D_VERTEX_tag& vertex : m_quad.v)
            vertex.col = color;
    } else if (IsCorner(corner)) {
        m_quad.v[corner].col = color;
    }
}

void TQGfxSprite::SetZ(float z, int corner) {
    if (corner == -1) {
        for (TQ2D_VERTEX_tag& vertex : m_quad.v)
            vertex.z = z;
    } else if (IsCorner(corner)) {
        m_quad.v[corner].z = z;
    }
}

void TQGfxSprite::SetHotSpot(float x, float y) {
    m_fHotX = x;
    m_fHotY = y;
}

void TQGfxSprite::GetTextureRect(float* x, float* y, float* w, float* h) const {
    *x = m_fTexX;
    *y = m_fTexY;
    *w = m_fWidth;
    *h = m_fHeight;
}

DWORD TQGfxSprite::GetColor(int corner) const {
    return IsCorner(corner) ? m_quad.v[corner].col : 0;
}

float TQGfxSprite::GetZ(int corner) const {
    return IsCorner(corner) ? m_quad.v[corner].z : 0.0f;
}

void TQGfxSprite::GetHotSpot(float* x, float* y) const {
    *x = m_fHotX;
    *y = m_fHotY;
}

void TQGfxSprite::GetFlip(bool* flipX, bool* flipY) const {
    *flipX = m_bFlipX;
    *flipY = m_bFlipY;
}
