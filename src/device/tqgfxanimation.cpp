#include "device/tqgfxanimation.h"

#include <algorithm>
#include <limits>

namespace {

const float kNeverAdvances = std::numeric_limits<float>::infinity();
const float kClockRestarts = -1.0f;

float PeriodOf(float fps) {
    return fps > 0.0f ? 1.0f / fps : kNeverAdvances;
}

// A length in whole texels for the layout's integer divisions, at least 1; a length no int holds
// (or no number at all) becomes the nearest int that is at least 1.
int WholeTexels(float length) {
    if (!(length >= 1.0f))
        return 1;
    if (length >= 2147483648.0f)
        return std::numeric_limits<int>::max();
    return static_cast<int>(length);
}

} // namespace

TQGfxAnimation::TQGfxAnimation(DWORD texture, int frames, float fps, float x, float y, float w, float h)
    : TQGfxSprite(texture, x, y, w, h), m_bPlaying(false), m_fSecondsPerFrame(PeriodOf(fps)),
      m_fClock(kClockRestarts), m_nMode(kLoop), m_nDirection(1), m_nFrames(std::max(1, frames)),
      m_nCurFrame(0) {
    SetFrame(0);
}

void TQGfxAnimation::Play() {
    m_bPlaying = true;
    m_fClock = kClockRestarts;
    StartFromModeEnd();
}

void TQGfxAnimation::StartFromModeEnd() {
    if (m_nMode & kReverse) {
        m_nDirection = -1;
        SetFrame(m_nFrames - 1);
    } else {
        m_nDirection = 1;
        SetFrame(0);
    }
}

void TQGfxAnimation::SetMode(int mode) {
    m_nMode = mode;
    StartFromModeEnd();
}

void TQGfxAnimation::SetSpeed(float fps) {
    m_fSecondsPerFrame = PeriodOf(fps);
}

float TQGfxAnimation::GetSpeed() const {
    return 1.0f / m_fSecondsPerFrame;
}

void TQGfxAnimation::SetFrames(int n) {
    m_nFrames = std::max(1, n);
}

// What each mode 0-7 does past the last frame and before the first; any other mode wraps.
TQGfxAnimation::EndAction TQGfxAnimation::ActionAtEnd(bool pastLast) const {
    static const EndAction kPastLast[8] = {kStop, kWrap, kTurn, kStop, kWrap, kWrap, kTurn, kTurn};
    static const EndAction kBeforeFirst[8] = {kWrap, kStop, kStop, kTurn, kWrap, kWrap, kTurn, kTurn};
    if (m_nMode < 0 || m_nMode > 7)
        return kWrap;
    return pastLast ? kPastLast[m_nMode] : kBeforeFirst[m_nMode];
}

void TQGfxAnimation::Update(float dt) {
    if (!m_bPlaying)
        return;
    if (m_fClock == kClockRestarts)
        m_fClock = 0.0f;
    else
        m_fClock += dt;
    if (!(m_fClock >= m_fSecondsPerFrame))
        return;
    m_fClock -= m_fSecondsPerFrame;
    const int next = m_nCurFrame + m_nDirection;
    if (next == m_nFrames || next < 0) {
        switch (ActionAtEnd(next == m_nFrames)) {
        case kStop:
            m_bPlaying = false;
            break;
        case kTurn:
            m_nDirection = -m_nDirection;
            break;
        case kWrap:
            break;
        }
    }
    if (m_bPlaying)
        SetFrame(m_nCurFrame + m_nDirection);
}

// Frames run along the first frame's row while they fit on the texture, then row by row from the
// texture's left edge. The first frame always stays where its rectangle says, even when the
// texture is narrower than a frame.
void TQGfxAnimation::SetFrame(int n) {
    float firstX, firstY, w, h;
    GetTextureRect(&firstX, &firstY, &w, &h);
    const float texWidth = TextureWidth();
    const int columns = std::max(1, WholeTexels(texWidth) / WholeTexels(w));

    n %= m_nFrames;
    if (n < 0)
        n += m_nFrames;
    m_nCurFrame = n;

    float left = firstX + n * w;
    float top = firstY;
    if (n > 0 && left > texWidth - w) {
        const int onFirstRow = std::max(1, WholeTexels(texWidth - firstX) / WholeTexels(w));
        const int m = std::max(0, n - onFirstRow);
        left = w * static_cast<float>(m % columns);
        top = firstY + h * static_cast<float>(1 + m / columns);
    }
    // The source rectangle stays the first frame's; the flips carry over.
    ShowTexels(left, top, w, h);
}
