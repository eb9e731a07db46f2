#include "gui/tq2dguiedit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "engine/tq2dapi.h"
#include "platform/imm32/tqimm32.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tquser32.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIEdit)

namespace {

const DWORD kDefaultBuffer = 4097;
const UINT kCompositionFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
const float kBlinkSpeed = 2.0f;
const int kBlinkFrames = 2;
const int kLoopMode = 4;
const DWORD kFirstInputMessage = 0x100;
const DWORD kLastInputMessage = 0x10F;
const LONG kCaretWidth = 1;

bool IsLeadByte(char c) {
    return IsDBCSLeadByte(static_cast<BYTE>(c));
}

// The longest prefix of text, at most limit bytes, that does not split a double-byte character.
DWORD WholeCharacterLength(const char* text, DWORD limit) {
    DWORD i = 0;
    while (i < limit && text[i]) {
        const DWORD step = (IsLeadByte(text[i]) && text[i + 1]) ? 2 : 1;
        if (i + step > limit)
            break;
        i += step;
    }
    return i;
}

} // namespace

TQ2DGUIEdit::TQ2DGUIEdit() {
    m_strText.SetBuffer(kDefaultBuffer);
}

DWORD TQ2DGUIEdit::MaxTextLength() const {
    const DWORD buffer = m_strText.GetBufferLength();
    return buffer ? buffer - 1 : 0;
}

void TQ2DGUIEdit::SetText(const char* sz) {
    const char* text = sz ? sz : "";
    m_strText.SetString(text, WholeCharacterLength(text, MaxTextLength()), 1);
    m_bDropTrailByte = false;
    BuildTexture();
}

void TQ2DGUIEdit::SetTextBuffer(unsigned long length) {
    m_strText.SetBuffer(static_cast<DWORD>(length));
}

void TQ2DGUIEdit::SetCaratColor(DWORD color) {
    m_dwCaratColor = color;
    BuildCarat();
}

void TQ2DGUIEdit::SetCaratTextColor(DWORD color) {
    m_dwCaratTextColor = color;
    BuildCarat();
}

int TQ2DGUIEdit::FontHeight() {
    TEXTMETRICA metrics;
    std::memset(&metrics, 0, sizeof metrics);
    GetTextMetricsA(m_GDI.GetHDC(), &metrics);
    return metrics.tmHeight;
}

// The lower of the box's inner height (cut to whole pixels) and the font's height plus 8. A box
// lower than 4 pixels by one or more reads as too tall, so it too takes the font's height; so does
// one of a height beyond any pixel count.
DWORD TQ2DGUIEdit::BoxHeight() {
    const float inner = GetSize().y - 4.0f;
    const DWORD font = static_cast<DWORD>(FontHeight() + 8);
    return inner > -1.0f && inner < static_cast<float>(font) ? static_cast<DWORD>(inner) : font;
}

void TQ2DGUIEdit::StartBlinking(TQ2DAnimation& animation, float frameWidth, float frameHeight) {
    animation.SetRenderPos(animation.GetRenderPos().x, (GetSize().y - animation.GetHeight()) / 2.0f);
    animation.SetTextureRect(0.0f, 0.0f, frameWidth, frameHeight);
    animation.SetFrames(kBlinkFrames);
    animation.SetSpeed(kBlinkSpeed);
    animation.SetMode(kLoopMode);
    animation.Play(1);
}

void TQ2DGUIEdit::BuildCarat() {
    const DWORD height = BoxHeight() * 2 / 3;
    if (!m_GDI.CreateBitmap(2, height) || !m_Carat.Create(2, height))
        return;
    m_GDI.FillSolidRect(0, 0, 1, static_cast<int>(height), m_dwCaratColor);
    m_GDI.UpdateTexture(m_Carat.GetTQ2DTexture(), 0, 0, 0, 0, 0, 0);
    StartBlinking(m_Carat, 1.0f, static_cast<float>(height));
}

void TQ2DGUIEdit::BuildComposit() {
    m_Composit.Delete();
    if (m_strComposit.GetLength() == 0)
        return;
    const DWORD height = BoxHeight();
    SIZE extent = {0, 0};
    GetTextExtentPoint32A(m_GDI.GetHDC(), m_strComposit, static_cast<int>(m_strComposit.GetLength()),
                          &extent);
    const LONG width = extent.cx;
    if (!m_GDI.CreateBitmap(static_cast<DWORD>(2 * width), height) ||
        !m_Composit.Create(static_cast<DWORD>(2 * width), height))
        return;
    HDC dc = m_GDI.GetHDC();
    SetBkMode(dc, TRANSPARENT);
    RECT first = {0, 0, width, static_cast<LONG>(height)};
    RECT second = {width, 0, 2 * width, static_cast<LONG>(height)};
    ::SetTextColor(dc, m_dwCaratTextColor);
    DrawTextA(dc, m_strComposit, -1, &first, kCompositionFormat);
    ::SetTextColor(dc, m_dwTextColor);
    DrawTextA(dc, m_strComposit, -1, &second, kCompositionFormat);
    m_GDI.UpdateTexture(m_Composit.GetTQ2DTexture(), 0, 0, 0, 0, 0, 0);
    StartBlinking(m_Composit, static_cast<float>(width), static_cast<float>(height));
}

void TQ2DGUIEdit::BuildTexture() {
    const DWORD width = TQ2DGUIPixelExtent(GetSize().x);
    const DWORD height = static_cast<DWORD>(std::max(FontHeight(), 0));
    if (!m_GDI.CreateBitmap(width, height) || !m_TextSprite.Create(width, height)) {
        m_TextSprite.Delete();
        return;
    }
    const DWORD length = m_strText.GetLength();
    HDC dc = m_GDI.GetHDC();
    const DWORD first = FirstCharShowingCaret(dc, width);
    const char* shown = m_strText.GetString() + first;
    const int count = static_cast<int>(length - first);
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_dwTextColor);
    TextOutA(dc, 0, 0, shown, count);
    m_GDI.UpdateTexture(m_TextSprite.GetTQ2DTexture(), 0, 0, 0, 0, 0, 0);
    SIZE drawn = {0, 0};
    GetTextExtentPoint32A(dc, shown, count, &drawn);
    const float caretX = static_cast<float>(drawn.cx);
    m_Carat.SetRenderPos(caretX, m_Carat.GetRenderPos().y);
    m_Composit.SetRenderPos(caretX, m_Composit.GetRenderPos().y);
}

// The caret, or the composition in its place, stands after the last character: the text is drawn
// from the first character that leaves room for all that follows and for it. The width of a tail
// shrinks as it starts later, so the start is found by halving over the character starts.
DWORD TQ2DGUIEdit::FirstCharShowingCaret(HDC dc, DWORD width) {
    std::vector<DWORD> starts;
    const DWORD length = m_strText.GetLength();
    for (DWORD i = 0; i < length; i += (IsLeadByte(m_strText.GetAt(i)) && i + 1 < length) ? 2 : 1)
        starts.push_back(i);
    const char* text = m_strText.GetString();
    SIZE marker = {kCaretWidth, 0};
    if (m_strComposit.GetLength())
        GetTextExtentPoint32A(dc, m_strComposit, static_cast<int>(m_strComposit.GetLength()), &marker);
    const LONG room = static_cast<LONG>(width) - marker.cx;
    size_t low = 0;
    size_t high = starts.empty() ? 0 : starts.size() - 1;
    while (low < high) {
        const size_t middle = (low + high) / 2;
        SIZE tail = {0, 0};
        GetTextExtentPoint32A(dc, text + starts[middle], static_cast<int>(length - starts[middle]), &tail);
        if (tail.cx <= room)
            high = middle;
        else
            low = middle + 1;
    }
    return starts.empty() ? 0 : starts[low];
}

void TQ2DGUIEdit::OnRender(float x, float y) {
    const float top = std::trunc((GetSize().y - m_TextSprite.GetHeight()) / 2.0f);
    m_TextSprite.Render(x, y + top);
    if (GetFocusControl() != this)
        return;
    TQ2DAnimation& marker = m_Composit.GetObjectA() ? m_Composit : m_Carat;
    marker.Render(x + marker.GetRenderPos().x, y + marker.GetRenderPos().y);
    PlaceCandidateWindow(x, y, marker);
}

void TQ2DGUIEdit::OnUpdate(float fDelta, float, float) {
    m_Carat.Update(fDelta);
    m_Composit.Update(fDelta);
}

void TQ2DGUIEdit::OnSetSize(float, float) {
    BuildCarat();
    BuildComposit();
    BuildTexture();
}

TQ2DGUIEdit::~TQ2DGUIEdit() {
    if (m_hTextInputWindow)
        GiveUpTextInput();
}

// The device window takes text input, and with it the input method, while an edit has the focus.
void TQ2DGUIEdit::TakeTextInput() {
    m_hTextInputWindow = TQ2DGetMsgWnd();
    if (m_hTextInputWindow)
        ImmAssociateContextEx(m_hTextInputWindow, nullptr, IACE_DEFAULT);
}

// Keys are the game's again; a composition in progress goes with the input method.
void TQ2DGUIEdit::GiveUpTextInput() {
    if (IsWindow(m_hTextInputWindow))
        ImmAssociateContextEx(m_hTextInputWindow, nullptr, 0);
    m_hTextInputWindow = nullptr;
    if (m_strComposit.GetLength()) {
        m_strComposit = "";
        BuildComposit();
        BuildTexture();
    }
}

void TQ2DGUIEdit::OnSetFocusControl(int bFocus) {
    if (bFocus) {
        SetInputControl(this);
        TakeTextInput();
        m_Carat.Play(1);
        m_Composit.Play(1);
        return;
    }
    if (GetInputControl() == this)
        SetInputControl(nullptr);
    GiveUpTextInput();
    m_Carat.Stop();
    m_Composit.Stop();
}

// Tells the input method where the caret (or the composition in its place) stands, in the device
// window's client coordinates: its candidate window opens beside it, clear of it.
void TQ2DGUIEdit::PlaceCandidateWindow(float x, float y, TQ2DAnimation& marker) {
    HIMC context = m_hTextInputWindow ? ImmGetContext(m_hTextInputWindow) : nullptr;
    if (!context)
        return;
    const LONG left = static_cast<LONG>(x + marker.GetRenderPos().x);
    const LONG top = static_cast<LONG>(y + marker.GetRenderPos().y);
    CANDIDATEFORM form = {};
    form.dwStyle = CFS_EXCLUDE;
    form.ptCurrentPos = POINT{left, top};
    form.rcArea = RECT{left, top, left + static_cast<LONG>(std::max(marker.GetWidth(), 1.0f)),
                       top + static_cast<LONG>(marker.GetHeight())};
    ImmSetCandidateWindow(context, &form);
    ImmReleaseContext(m_hTextInputWindow, context);
}

LRESULT TQ2DGUIEdit::OnWndProc(HWND hWnd, DWORD dwMsg, WPARAM& wParam, LPARAM& lParam) {
    if (dwMsg < kFirstInputMessage || dwMsg > kLastInputMessage)
        return 0;
    switch (dwMsg) {
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        break;
    case WM_CHAR:
        OnChar(static_cast<BYTE>(wParam & 0xFF));
        break;
    case WM_IME_ENDCOMPOSITION:
        m_strComposit = "";
        BuildComposit();
        BuildTexture();
        break;
    case WM_IME_COMPOSITION:
        OnComposition(hWnd, lParam);
        break;
    default:
        break;
    }
    return 0;
}

bool TQ2DGUIEdit::EndsWithLeadByte() const {
    const DWORD length = m_strText.GetLength();
    DWORD i = 0;
    while (i < length) {
        if (IsLeadByte(m_strText.GetAt(i))) {
            if (i + 1 == length)
                return true;
            i += 2;
        } else {
            ++i;
        }
    }
    return false;
}

void TQ2DGUIEdit::OnKeyDown(WPARAM key) {
    if (key == VK_RETURN) {
        if (GetParent())
            GetParent()->OnCommand(this, TQ2DGUI_COMMAND_ENTER);
        return;
    }
    if (key != VK_BACK || m_strText.GetLength() == 0)
        return;
    m_strText.SetAt(m_strText.GetLength() - 1, 0);
    if (EndsWithLeadByte())
        m_strText.SetAt(m_strText.GetLength() - 1, 0);
    BuildTexture();
}

void TQ2DGUIEdit::OnChar(BYTE c) {
    if (m_bDropTrailByte) {
        m_bDropTrailByte = false;
        return;
    }
    if (c < 32)
        return;
    const DWORD length = m_strText.GetLength();
    // A lead byte needs room for its trail byte too, so the text never ends half a character; a
    // refused lead byte's trail byte, which comes next, is refused with it.
    const bool lead = IsLeadByte(static_cast<char>(c)) && !EndsWithLeadByte();
    if (length + (lead ? 2 : 1) > MaxTextLength()) {
        m_bDropTrailByte = lead;
        return;
    }
    m_strText.SetAt(length, static_cast<char>(c));
    if (!EndsWithLeadByte())
        BuildTexture();
}

void TQ2DGUIEdit::OnComposition(HWND hWnd, LPARAM flags) {
    if (!(flags & GCS_COMPSTR))
        return;
    HIMC context = ImmGetContext(hWnd);
    if (!context)
        return;
    const LONG needed = ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 0);
    if (needed >= 0 && m_strComposit.SetBuffer(static_cast<DWORD>(needed) + 1)) {
        const LONG got = ImmGetCompositionStringA(context, GCS_COMPSTR, m_strComposit.GetBuffer(),
                                                  static_cast<DWORD>(needed));
        // The bytes come without a terminator: a shorter composition ends where it ends, not where
        // the longer one before it did.
        m_strComposit.SetAt(got > 0 ? static_cast<DWORD>(got) : 0, 0);
    }
    ImmReleaseContext(hWnd, context);
    BuildComposit();
    BuildTexture();
}
