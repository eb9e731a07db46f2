#include "engine/tq2dsprite.h"

#include "base/tqlog.h"
#include "containers/tqcompare.h"
#include "device/tqgfxsprite.h"
#include "engine/tq2ddescriptionfields.h"
#include "engine/tq2ddescriptionfile.h"
#include "engine/tq2dfilelookup.h"

#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <new>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DSprite)

namespace {

const float kPi = 3.1415927f;

float DegreesToRadians(float degrees) {
    return degrees * kPi / 180.0f;
}

bool IsVertex(int vertex) {
    return vertex >= 0 && vertex <= 3;
}

// A scale adjustment of exactly 1 (within one float step) draws unscaled.
bool IsUnitScale(float scale) {
    return scale > 1.0f - FLT_EPSILON && scale < 1.0f + FLT_EPSILON;
}

} // namespace

TQ2DSprite::TQ2DSprite() = default;

TQ2DSprite::TQ2DSprite(const char* file, float x, float y, float w, float h) {
    Create(file, x, y, w, h);
}

TQ2DSprite::TQ2DSprite(TQ2DTexture& texture, float x, float y, float w, float h) {
    Create(texture, x, y, w, h);
}

TQ2DSprite::TQ2DSprite(const TQ2DSprite& other) {
    *this = other;
}

// Deep: the helper is duplicated and the texture takes its own reference.
TQ2DSprite& TQ2DSprite::operator=(const TQ2DSprite& other) {
    if (this == &other)
        return *this;
    DeleteHelper();
    m_pSprite = CopyHelper(other);
    m_texture = other.m_texture;
    m_ptRender = other.m_ptRender;
    m_ptRenderCurrent = other.m_ptRenderCurrent;
    m_byDefaultAlpha = other.m_byDefaultAlpha;
    m_bColorSet = other.m_bColorSet;
    m_bBlendSet = other.m_bBlendSet;
    m_dwColor = other.m_dwColor;
    m_nBlendMode = other.m_nBlendMode;
    m_pBasePoint = other.m_pBasePoint;
    m_ptPosAdjust = other.m_ptPosAdjust;
    m_ptScaleAdjust = other.m_ptScaleAdjust;
    m_ptRotationAdjust = other.m_ptRotationAdjust;
    m_ptAlphaAdjust = other.m_ptAlphaAdjust;
    m_fFadeTarget = other.m_fFadeTarget;
    m_fFadeCurrent = other.m_fFadeCurrent;
    m_fFadeDirection = other.m_fFadeDirection;
    m_fFadeSpeed = other.m_fFadeSpeed;
    return *this;
}

TQ2DSprite::~TQ2DSprite() {
    Delete();
}

void TQ2DSprite::DeleteHelper() {
    delete m_pSprite;
    m_pSprite = nullptr;
}

TQGfxSprite* TQ2DSprite::CopyHelper(const TQ2DSprite& other) {
    return other.m_pSprite ? new (std::nothrow) TQGfxSprite(*other.m_pSprite) : nullptr;
}

void TQ2DSprite::Delete() {
    DeleteHelper();
    m_texture.Delete();
}

int TQ2DSprite::CreateHelper(DWORD texture, float x, float y, float w, float h) {
    DeleteHelper();
    m_pSprite = new (std::nothrow) TQGfxSprite(texture, x, y, w, h);
    return m_pSprite ? 1 : 0;
}

int TQ2DSprite::Create(unsigned long texture, float x, float y, float w, float h) {
    return CreateHelper(static_cast<DWORD>(texture), x, y, w, h);
}

int TQ2DSprite::Create(TQ2DTexture& texture, float x, float y, float w, float h) {
    if (!texture.GetTexture())
        return 0;
    if (w == 0.0f)
        w = static_cast<float>(texture.GetWidth(false));
    if (h == 0.0f)
        h = static_cast<float>(texture.GetHeight(false));
    return Create(texture.GetTexture(), x, y, w, h);
}

// A failed load also drops the helper, which would otherwise name the released texture.
int TQ2DSprite::Create(const char* file, float x, float y, float w, float h) {
    if (!m_texture.Create(file, 0)) {
        if (!m_texture.GetTexture())
            DeleteHelper();
        return 0;
    }
    return Create(m_texture, x, y, w, h);
}

int TQ2DSprite::Create(unsigned long width, unsigned long height) {
    if (!m_texture.Create(width, height)) {
        if (!m_texture.GetTexture())
            DeleteHelper();
        return 0;
    }
    return Create(m_texture, 0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
}

// A file that cannot be read was logged by the file look-up.
int TQ2DSprite::CreateFromConfig(const char* name) {
    const TQ2DDescriptionFile file(name);
    return file.IsOpen() ? ApplyConfig(file.Config(), file.Base()) : 0;
}

// TEX is relative to the description's folder; one naming no file fails like a texture that
// does not load.
int TQ2DSprite::ApplyConfig(const TQ2DFileConfig& config, const TQString& name) {
    const TQString texture = TQ2DFileNameConfig(config, "TEX");
    if (!TQ2DNamesFile("texture", texture, name, "TEX")) {
        Delete();
        return 0;
    }
    const float x = static_cast<float>(config.GetConfigNum("X"));
    const float y = static_cast<float>(config.GetConfigNum("Y"));
    const float w = static_cast<float>(config.GetConfigNum("W"));
    const float h = static_cast<float>(config.GetConfigNum("H"));
    if (!Create(TQ2DPathInFolder(TQ2DDescriptionFolder(name), texture), x, y, w, h))
        return 0;
    m_byDefaultAlpha = 255;
    const TQString alpha = TQ2DTrimmedConfig(config, "ALPHA");
    if (alpha.GetLength())
        m_byDefaultAlpha = static_cast<unsigned char>(alpha.GetValue(nullptr) & 0xFF);
    SetAlpha(m_byDefaultAlpha, -1);
    float hotX = GetWidth() / 2.0f;
    float hotY = GetHeight() / 2.0f;
    const TQString hotXText = TQ2DTrimmedConfig(config, "HOT_SPOT_X");
    const TQString hotYText = TQ2DTrimmedConfig(config, "HOT_SPOT_Y");
    if (hotXText.GetLength())
        hotX = static_cast<float>(std::atof(hotXText));
    if (hotYText.GetLength())
        hotY = static_cast<float>(std::atof(hotYText));
    SetHotSpot(hotX, hotY);
    const float renderY = static_cast<float>(std::atof(TQ2DTrimmedConfig(config, "RENDER_Y")));
    const float renderX = static_cast<float>(std::atof(TQ2DTrimmedConfig(config, "RENDER_X")));
    SetRenderPos(renderX, renderY);
    return 1;
}

void TQ2DSprite::OnRender(float, float, unsigned long) {}

TQ2D_POINT_tag TQ2DSprite::Adjusted(float x, float y) const {
    TQ2D_POINT_tag p = {x + m_ptPosAdjust.x, y + m_ptPosAdjust.y};
    if (m_pBasePoint) {
        p.x += m_pBasePoint->x;
        p.y += m_pBasePoint->y;
    }
    return p;
}

TQ2D_POINT_tag TQ2DSprite::DrawPoint(float x, float y) {
    m_ptRenderCurrent = Adjusted(x, y);
    return m_ptRenderCurrent;
}

void TQ2DSprite::Render(float x, float y) {
    const TQ2D_POINT_tag p = DrawPoint(x, y);
    if (m_pSprite) {
        const bool plain = IsUnitScale(m_ptScaleAdjust.x) && IsUnitScale(m_ptScaleAdjust.y) &&
                           std::fabs(m_ptRotationAdjust.x) < FLT_EPSILON;
        if (plain)
            m_pSprite->Render(p.x, p.y);
        else
            m_pSprite->RenderEx(p.x, p.y, DegreesToRadians(m_ptRotationAdjust.x), m_ptScaleAdjust.x,
                                m_ptScaleAdjust.y);
    }
    OnRender(p.x, p.y, 0);
}

void TQ2DSprite::Render() {
    Render(m_ptRender.x, m_ptRender.y);
}

void TQ2DSprite::RenderEx(float x, float y, float rot, float hscale, float vscale) {
    const TQ2D_POINT_tag p = DrawPoint(x, y);
    if (m_pSprite)
        m_pSprite->RenderEx(p.x, p.y, DegreesToRadians(m_ptRotationAdjust.x) + rot,
                            hscale + m_ptScaleAdjust.x - 1.0f, vscale + m_ptScaleAdjust.y - 1.0f);
    OnRender(p.x, p.y, 0);
}

void TQ2DSprite::RenderStretch(float x1, float y1, float x2, float y2) {
    try {
        const TQ2D_POINT_tag p = DrawPoint(x1, y1);
        const TQ2D_POINT_tag corner = Adjusted(x2, y2);
        if (m_pSprite)
            m_pSprite->RenderStretch(p.x, p.y, corner.x, corner.y);
        OnRender(p.x, p.y, 0);
    } catch (...) {
        g_tqLogError.SetLogInfo("lib/project/dozaz2i/source/tq2dsprite", "TQ2DSprite::RenderStretch",
                                __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX);
    }
}

void TQ2DSprite::Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3) {
    const TQ2D_POINT_tag p0 = DrawPoint(x0, y0);
    const TQ2D_POINT_tag p1 = Adjusted(x1, y1);
    const TQ2D_POINT_tag p2 = Adjusted(x2, y2);
    const TQ2D_POINT_tag p3 = Adjusted(x3, y3);
    if (m_pSprite)
        m_pSprite->Render4V(p0.x, p0.y, p1.x, p1.y, p2.x, p2.y, p3.x, p3.y);
}

void TQ2DSprite::SetRenderPos(float x, float y) {
    m_ptRender = {x, y};
    m_ptRenderCurrent = {x, y};
}

void TQ2DSprite::ClearAdjust() {
    m_ptPosAdjust = {0.0f, 0.0f};
    m_ptRotationAdjust = {0.0f, 0.0f};
    m_ptScaleAdjust = {1.0f, 1.0f};
    m_ptAlphaAdjust = {255.0f, 255.0f};
}

// A corner that already has this (non-zero) colour is left alone; -1 always applies.
void TQ2DSprite::SetColor(unsigned long color, int vertex) {
    m_bColorSet = 1;
    m_dwColor = static_cast<DWORD>(color);
    if (IsVertex(vertex) && GetColor(vertex) != 0 && GetColor(vertex) == m_dwColor)
        return;
    if (m_pSprite)
        m_pSprite->SetColor(m_dwColor, vertex);
}

unsigned long TQ2DSprite::GetColor(int vertex) const {
    return m_pSprite ? m_pSprite->GetColor(vertex) : 0xFF000000;
}

void TQ2DSprite::SetAlpha(unsigned char alpha, int vertex) {
    if (!m_pSprite)
        return;
    if (IsVertex(vertex) && GetAlpha(vertex) != 0 && GetAlpha(vertex) == alpha)
        return;
    SetColor((static_cast<DWORD>(alpha) << 24) | 0x00FFFFFF, vertex);
}

unsigned char TQ2DSprite::GetAlpha(int vertex) const {
    return static_cast<unsigned char>(GetColor(vertex) >> 24);
}

void TQ2DSprite::SetBlendMode(int mode) {
    m_bBlendSet = 1;
    m_nBlendMode = mode;
    if (m_pSprite)
        m_pSprite->SetBlendMode(mode);
}

int TQ2DSprite::GetBlendMode() const {
    return m_pSprite ? m_pSprite->GetBlendMode() : 0;
}

void TQ2DSprite::SetZ(float z, int vertex) {
    if (m_pSprite)
        m_pSprite->SetZ(z, vertex);
}

float TQ2DSprite::GetZ(int vertex) const {
    return m_pSprite ? m_pSprite->GetZ(vertex) : 0.0f;
}

void TQ2DSprite::SetTexture(unsigned long texture) {
    if (!m_pSprite)
        return;
    m_pSprite->SetTexture(static_cast<DWORD>(texture));
    if (m_bColorSet)
        SetColor(m_dwColor, -1);
    if (m_bBlendSet)
        SetBlendMode(m_nBlendMode);
}

unsigned long TQ2DSprite::GetTexture() const {
    return m_pSprite ? m_pSprite->GetTexture() : 0;
}

void TQ2DSprite::SetTextureRect(float x, float y, float w, float h) {
    if (m_pSprite)
        m_pSprite->SetTextureRect(x, y, w, h);
}

void TQ2DSprite::GetTextureRect(float* x, float* y, float* w, float* h) const {
    if (m_pSprite && x && y && w && h)
        m_pSprite->GetTextureRect(x, y, w, h);
}

void TQ2DSprite::SetHotSpot(float x, float y) {
    if (m_pSprite)
        m_pSprite->SetHotSpot(x, y);
}

void TQ2DSprite::GetHotSpot(float* x, float* y) const {
    if (m_pSprite && x && y)
        m_pSprite->GetHotSpot(x, y);
}

void TQ2DSprite::SetFlip(bool h, bool v) {
    if (m_pSprite)
        m_pSprite->SetFlip(h, v);
}

void TQ2DSprite::GetFlip(bool* h, bool* v) const {
    if (m_pSprite && h && v)
        m_pSprite->GetFlip(h, v);
}

float TQ2DSprite::GetWidth() const {
    return m_pSprite ? m_pSprite->GetWidth() : 0.0f;
}

float TQ2DSprite::GetHeight() const {
    return m_pSprite ? m_pSprite->GetHeight() : 0.0f;
}

void TQ2DSprite::SetAniAlpha(unsigned char target, float speed) {
    m_fFadeTarget = target;
    m_fFadeCurrent = GetAlpha(0);
    if (std::trunc(m_fFadeTarget) == std::trunc(m_fFadeCurrent))
        return;
    const float d = m_fFadeTarget - m_fFadeCurrent;
    m_fFadeDirection = d < 0.0f ? -1.0f : 1.0f;
    m_fFadeSpeed = speed;
}

// The fade goes on while the alpha moves towards the target inside 0..255; anything else (the
// target reached or passed, or an alpha leaving the byte's range) ends it on the target.
void TQ2DSprite::Update(float dt) {
    if (m_fFadeDirection == 0.0f)
        return;
    m_fFadeCurrent = m_fFadeCurrent + m_fFadeDirection * m_fFadeSpeed * dt + dt * dt * 0.5f;
    const float target = std::trunc(m_fFadeTarget);
    const float current = std::trunc(m_fFadeCurrent);
    const bool towards =
        (m_fFadeDirection > 0.0f && current < target) || (m_fFadeDirection < 0.0f && current > target);
    if (current != target && towards && current >= 0.0f && current <= 255.0f) {
        SetAlpha(static_cast<unsigned char>(current), -1);
        return;
    }
    m_fFadeDirection = 0.0f;
    SetAlpha(static_cast<unsigned char>(target), -1);
}

int TQ2DSprite::operator-(TQ2DSprite& other) const {
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(&other));
}

int TQ2DSprite::operator-(void* other) const {
    return other ? TQCompare(static_cast<const void*>(this), static_cast<const void*>(other)) : -1;
}
