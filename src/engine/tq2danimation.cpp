#include "engine/tq2danimation.h"

#include "containers/tqcompare.h"
#include "device/tqgfxanimation.h"

#include <cmath>
#include <new>

// The attached entries' pool is defined here, just before the animation's, so that the library's
// pools are built in their documented order.
TQ_IMPLEMENT_MEMORY_POOL(TQ2DAnimationANFInfo)
TQ_IMPLEMENT_MEMORY_POOL(TQ2DAnimation)

namespace {

// The low 8 bits of the integer part of value (0 for values no integer can hold).
unsigned char LowByteOf(float value) {
    if (!(std::fabs(value) < 2147483648.0f))
        return 0;
    return static_cast<unsigned char>(static_cast<int>(value) & 0xFF);
}

} // namespace

TQ2DAnimation::TQ2DAnimation() = default;

TQ2DAnimation::TQ2DAnimation(TQ2DTexture& texture, int frames, float fps, float x, float y, float w,
                             float h) {
    Create(texture, frames, fps, x, y, w, h);
}

TQ2DAnimation::TQ2DAnimation(const char* file, int frames, float fps, float x, float y, float w, float h) {
    Create(file, frames, fps, x, y, w, h);
}

// The base is built empty first, so that the copy below reaches this class's CopyHelper.
TQ2DAnimation::TQ2DAnimation(const TQ2DAnimation& other) : TQ2DSprite() {
    *this = other;
}

TQ2DAnimation& TQ2DAnimation::operator=(const TQ2DAnimation& other) {
    if (this == &other)
        return *this;
    TQ2DSprite::operator=(other);
    CopyOwnFields(other);
    return *this;
}

void TQ2DAnimation::CopyOwnFields(const TQ2DAnimation& other) {
    m_byAlpha = other.m_byAlpha;
    m_nLastFrameTexture = other.m_nLastFrameTexture;
    m_dwLoopCount = other.m_dwLoopCount;
    m_dwCurrentLoop = other.m_dwCurrentLoop;
    m_fPlayTime = other.m_fPlayTime;
    m_fRemainPlayTime = other.m_fRemainPlayTime;
    m_fFrameX = other.m_fFrameX;
    m_fFrameY = other.m_fFrameY;
    m_fFrameW = other.m_fFrameW;
    m_fFrameH = other.m_fFrameH;
    m_FrameTextures = other.m_FrameTextures;
    m_sound = other.m_sound;
    m_PositionAni = other.m_PositionAni;
    m_ScaleAni = other.m_ScaleAni;
    m_RotateAni = other.m_RotateAni;
    m_AlphaAni = other.m_AlphaAni;
    m_ANFList = other.m_ANFList;
}

TQ2DAnimation::~TQ2DAnimation() {
    Delete();
}

void TQ2DAnimation::DeleteHelper() {
    if (!m_pAnimation) {
        TQ2DSprite::DeleteHelper();
        return;
    }
    delete m_pAnimation;
    m_pAnimation = nullptr;
    m_pSprite = nullptr;
}

TQGfxSprite* TQ2DAnimation::CopyHelper(const TQ2DSprite& other) {
    const TQ2DAnimation* animation = dynamic_cast<const TQ2DAnimation*>(&other);
    if (!animation || !animation->m_pAnimation)
        return TQ2DSprite::CopyHelper(other);
    m_pAnimation = new (std::nothrow) TQGfxAnimation(*animation->m_pAnimation);
    return m_pAnimation;
}

TQGfxAnimation* TQ2DAnimation::Animation() const {
    return m_pSprite == m_pAnimation ? m_pAnimation : nullptr;
}

void TQ2DAnimation::Delete() {
    TQ2DSprite::Delete();
    m_FrameTextures.DeleteAll();
    m_sound.Delete();
}

int TQ2DAnimation::Create(TQ2DTexture& texture, int frames, float fps, float x, float y, float w, float h) {
    const DWORD handle = texture.GetTexture();
    if (!handle)
        return 0;
    if (frames < 1)
        frames = 1;
    if (w == 0.0f)
        w = static_cast<float>(texture.GetWidth(false));
    if (h == 0.0f)
        h = static_cast<float>(texture.GetHeight(false));
    m_fFrameX = x;
    m_fFrameY = y;
    m_fFrameW = w;
    m_fFrameH = h;
    DeleteHelper();
    m_pAnimation = new (std::nothrow) TQGfxAnimation(handle, frames, fps, x, y, w, h);
    m_pSprite = m_pAnimation;
    return m_pAnimation ? 1 : 0;
}

// A failed load also drops the helper, which would otherwise name the released texture.
int TQ2DAnimation::Create(const char* file, int frames, float fps, float x, float y, float w, float h) {
    if (!m_texture.Create(file, 0)) {
        if (!m_texture.GetTexture())
            DeleteHelper();
        return 0;
    }
    return Create(m_texture, frames, fps, x, y, w, h);
}

int TQ2DAnimation::Create(unsigned long w, unsigned long h) {
    if (!m_texture.Create(w, h)) {
        if (!m_texture.GetTexture())
            DeleteHelper();
        return 0;
    }
    return Create(m_texture, 0, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f);
}

void TQ2DAnimation::ResetAdjust() {
    ClearAdjust();
    m_PositionAni.TakeFirstPoint(m_ptPosAdjust);
    m_ScaleAni.TakeFirstPoint(m_ptScaleAdjust);
    m_RotateAni.TakeFirstPoint(m_ptRotationAdjust);
    m_AlphaAni.TakeFirstPoint(m_ptAlphaAdjust);
}

void TQ2DAnimation::Play(int withSound) {
    Stop();
    if (TQGfxAnimation* animation = Animation())
        animation->Play();
    if (withSound)
        m_sound.Play();
    m_dwCurrentLoop = 1;
    ResetAdjust();
    m_PositionAni.Play(m_ptPosAdjust);
    m_ScaleAni.Play(m_ptScaleAdjust);
    m_RotateAni.Play(m_ptRotationAdjust);
    m_AlphaAni.Play(m_ptAlphaAdjust);
    ForEachAttached([](TQ2DAnimationANFInfo& entry) { entry.m_pChild->Play(1); });
    m_fRemainPlayTime = m_fPlayTime;
}

void TQ2DAnimation::Stop() {
    if (TQGfxAnimation* animation = Animation())
        animation->Stop();
    m_sound.Stop();
    m_PositionAni.Stop();
    m_ScaleAni.Stop();
    m_RotateAni.Stop();
    m_AlphaAni.Stop();
    ForEachAttached([](TQ2DAnimationANFInfo& entry) { entry.m_pChild->Stop(); });
}

void TQ2DAnimation::Resume() {
    if (TQGfxAnimation* animation = Animation())
        animation->Resume();
    m_sound.Resume();
    m_PositionAni.Resume();
    m_ScaleAni.Resume();
    m_RotateAni.Resume();
    m_AlphaAni.Resume();
    ForEachAttached([](TQ2DAnimationANFInfo& entry) { entry.m_pChild->Resume(); });
}

void TQ2DAnimation::Update(float dt) {
    TQ2DSprite::Update(dt);
    if (TQGfxAnimation* animation = Animation())
        animation->Update(dt);
    m_PositionAni.Update(dt, m_ptPosAdjust);
    m_ScaleAni.Update(dt, m_ptScaleAdjust);
    m_RotateAni.Update(dt, m_ptRotationAdjust);
    m_AlphaAni.Update(dt, m_ptAlphaAdjust);
    if (m_AlphaAni.IsPlaying())
        SetAlpha(LowByteOf(m_ptAlphaAdjust.x), -1);
    UpdateChildren(dt);
    if (m_FrameTextures.GetSize() && GetFrame() != m_nLastFrameTexture) {
        m_nLastFrameTexture = GetFrame();
        ApplyFrameTexture(m_nLastFrameTexture);
    }
    ReplayWhenDue();
    if (m_fRemainPlayTime > 0.0f) {
        m_fRemainPlayTime -= dt;
        if (m_fRemainPlayTime <= 0.0f)
            Stop();
    }
}

// During a fade of this animation no child is brighter than it.
void TQ2DAnimation::UpdateChildren(float dt) {
    const unsigned char alpha = GetAlpha(0);
    const bool fading = m_pSprite && GetAniAlphaMode();
    ForEachAttached([&](TQ2DAnimationANFInfo& entry) {
        entry.m_pChild->Update(dt);
        if (fading && entry.m_pChild->GetAlpha(0) > alpha)
            entry.m_pChild->SetAlpha(alpha, -1);
    });
}

// A replay always plays the sound. The count only rises towards the loop count, so a current loop
// beyond it (never reached through these members) replays nothing.
void TQ2DAnimation::ReplayWhenDue() {
    if (!m_dwLoopCount || m_dwCurrentLoop >= m_dwLoopCount)
        return;
    const TQGfxAnimation* animation = Animation();
    if (animation && animation->IsPlaying())
        return;
    const unsigned long loop = m_dwCurrentLoop;
    Play(1);
    m_dwCurrentLoop = loop + 1;
}

bool TQ2DAnimation::IsPlaying() const {
    if (m_fPlayTime > 0.0f)
        return m_fRemainPlayTime > 0.0f;
    if (m_dwLoopCount && m_dwCurrentLoop < m_dwLoopCount)
        return true;
    const TQGfxAnimation* animation = Animation();
    return animation && animation->IsPlaying();
}

void TQ2DAnimation::SetLoopCount(unsigned long n) {
    m_dwLoopCount = n;
    m_dwCurrentLoop = n;
}

void TQ2DAnimation::ApplyFrameTexture(int n) {
    if (n < 0)
        return;
    const TQ2DTexture* texture = m_FrameTextures.GetAt(static_cast<DWORD>(n));
    if (!texture || !texture->GetTexture())
        return;
    SetTexture(texture->GetTexture());
    SetTextureRect(m_fFrameX, m_fFrameY, m_fFrameW, m_fFrameH);
}

void TQ2DAnimation::SetFrame(int n) {
    if (TQGfxAnimation* animation = Animation())
        animation->SetFrame(n);
    if (m_FrameTextures.GetSize())
        ApplyFrameTexture(n);
}

int TQ2DAnimation::GetFrame() const {
    const TQGfxAnimation* animation = Animation();
    return animation ? animation->GetFrame() : 0;
}

int TQ2DAnimation::GetFrames() const {
    const TQGfxAnimation* animation = Animation();
    if (!animation)
        return 0;
    if (m_FrameTextures.GetSize())
        return static_cast<int>(m_FrameTextures.GetSize());
    return animation->GetFrames();
}

void TQ2DAnimation::SetMode(int mode) {
    if (TQGfxAnimation* animation = Animation())
        animation->SetMode(mode);
}

int TQ2DAnimation::GetMode() const {
    const TQGfxAnimation* animation = Animation();
    return animation ? animation->GetMode() : 0;
}

void TQ2DAnimation::SetFrames(int n) {
    if (TQGfxAnimation* animation = Animation())
        animation->SetFrames(n);
}

void TQ2DAnimation::SetSpeed(float fps) {
    if (TQGfxAnimation* animation = Animation())
        animation->SetSpeed(fps);
}

float TQ2DAnimation::GetSpeed() const {
    const TQGfxAnimation* animation = Animation();
    return animation ? animation->GetSpeed() : 0.0f;
}

void TQ2DAnimation::SetAlphaAll(unsigned char alpha, int unused, int useDefault) {
    SetAlpha(useDefault ? m_byDefaultAlpha : alpha, -1);
    ForEachAttached([&](TQ2DAnimationANFInfo& entry) {
        TQ2DAnimation* child = entry.m_pChild;
        child->SetAlphaAll(useDefault ? child->GetDefaultAlpha() : alpha, unused, 0);
    });
}

void TQ2DAnimation::SetAniAlphaAll(unsigned char alpha, float speed, int useDefault) {
    SetAniAlpha(useDefault ? m_byDefaultAlpha : alpha, speed);
    ForEachAttached(
        [&](TQ2DAnimationANFInfo& entry) { entry.m_pChild->SetAniAlphaAll(alpha, speed, useDefault); });
}

int TQ2DAnimation::GetAniAlphaAllMode() const {
    int mode = GetAniAlphaMode();
    ForEachAttached([&](TQ2DAnimationANFInfo& entry) { mode |= entry.m_pChild->GetAniAlphaMode(); });
    return mode;
}

void TQ2DAnimation::OnRender(float x, float y, unsigned long group) {
    ForEachAttached([&](TQ2DAnimationANFInfo& entry) {
        if (group && entry.m_dwGroup != group)
            return;
        if (entry.m_bAbsolute)
            entry.m_pChild->Render(entry.m_fOffsetX, entry.m_fOffsetY);
        else
            entry.m_pChild->Render(x + entry.m_fOffsetX, y + entry.m_fOffsetY);
    });
}

int TQ2DAnimation::operator-(TQ2DAnimation& other) const {
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(&other));
}

int TQ2DAnimation::operator-(void* other) const {
    return other ? TQCompare(static_cast<const void*>(this), static_cast<const void*>(other)) : -1;
}
