#include "gui/tq2dguidatalist.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIDataList)

namespace {

const int kRowPadding = 2;
const int kFrame = 2;
// No bitmap can be taller: more visible lines than this are absurd and are capped.
const unsigned long kMaxViewLines = 65535;

// Keys are unsigned 32-bit values, widened with zeros into the index's 64-bit keys.
ULONGLONG ItemKey(unsigned long key) {
    return static_cast<DWORD>(key);
}

} // namespace

void TQ2DGUIDataList::AddString(unsigned long key, const char* format, ...) {
    TQString text;
    va_list args;
    va_start(args, format);
    text.FormatV(format, args);
    va_end(args);
    m_Items.InsertData(ItemKey(key), text, 0);
}

void TQ2DGUIDataList::DelString(unsigned long key) {
    m_Items.DeleteData(ItemKey(key));
}

TQString& TQ2DGUIDataList::GetString(unsigned long key) {
    TQString* text = m_Items.FindData(ItemKey(key));
    if (text)
        return *text;
    m_strNone = "";
    return m_strNone;
}

int TQ2DGUIDataList::ViewLines() const {
    const unsigned long lines = m_dwMaxDataViewLine ? m_dwMaxDataViewLine : m_Items.GetCount();
    return static_cast<int>(std::min(lines, kMaxViewLines));
}

DWORD TQ2DGUIDataList::IndexOfRow(DWORD row) const {
    return m_nOrderBy ? m_Items.GetCount() - 1 - row : row;
}

int TQ2DGUIDataList::RowOfKey(ULONGLONG key) {
    for (DWORD i = 0; i < m_Items.GetCount(); ++i)
        if (m_Items.FindDataIndexPtr(i)->GetKey() == key)
            return static_cast<int>(IndexOfRow(i));
    return -1;
}

void TQ2DGUIDataList::SetCurSelect(int key) {
    const int lines = ViewLines();
    const int row = RowOfKey(ItemKey(static_cast<DWORD>(key)));
    m_nTopLine = row < 0 ? 0 : row;
    m_nSelectRow = m_Items.GetCount() ? 0 : -1;
    // The view starts at the selected item and never reaches past the last line.
    const int textHeight = static_cast<int>(m_Items.GetCount()) * m_nRowHeight;
    const int top = m_nTopLine * m_nRowHeight;
    const int shown = std::min(lines * m_nRowHeight, textHeight - top);
    m_TextSprite.SetTextureRect(0.0f, static_cast<float>(top), m_TextSprite.GetTQ2DTexture().GetWidth(true),
                                static_cast<float>(std::max(shown, 0)));
    if (GetParent())
        GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}

int TQ2DGUIDataList::HighlightedIndex() const {
    const int row = m_nTopLine + m_nSelectRow;
    if (m_nSelectRow < 0 || row < 0 || row >= static_cast<int>(m_Items.GetCount()))
        return -1;
    return static_cast<int>(IndexOfRow(static_cast<DWORD>(row)));
}

int TQ2DGUIDataList::GetCurSelect() {
    const int index = HighlightedIndex();
    return index < 0 ? -1 : static_cast<int>(m_Items.FindDataIndexPtr(static_cast<DWORD>(index))->GetKey());
}

// The highlighted item itself: every key, also one that reads as a negative int, has its text.
TQString& TQ2DGUIDataList::GetCurSelectData() {
    const int index = HighlightedIndex();
    if (index < 0) {
        m_strNone = "";
        return m_strNone;
    }
    return *m_Items.FindDataIndex(static_cast<DWORD>(index));
}

void TQ2DGUIDataList::BuildTexture() {
    const int lines = ViewLines();
    if (lines == 0)
        m_nSelectRow = -1;
    TEXTMETRICA metrics;
    std::memset(&metrics, 0, sizeof metrics);
    GetTextMetricsA(m_GDI.GetHDC(), &metrics);
    m_nRowHeight = metrics.tmHeight + kRowPadding;
    const int barHeight = std::max(m_nRowHeight - kRowPadding, 0);
    GetSize().y = static_cast<float>(m_nRowHeight * lines + kFrame);
    const int width = static_cast<int>(TQ2DGUIPixelExtent(GetSize().x));
    const int height = static_cast<int>(TQ2DGUIPixelExtent(GetSize().y));
    if (static_cast<int>(m_GDI.GetBitmapWidth()) < width ||
        static_cast<int>(m_GDI.GetBitmapHeight()) < height) {
        m_GDI.CreateBitmap(static_cast<DWORD>(width), static_cast<DWORD>(height));
        if (width > 2 && barHeight > 0)
            m_SelectSprite.Create(static_cast<DWORD>(width - 2), static_cast<DWORD>(barHeight));
    }
    DrawBackground(width, height);
    DrawBar(width, barHeight);
    DrawLines(width);
    SetCurSelect(GetCurSelect());
}

void TQ2DGUIDataList::DrawBackground(int width, int height) {
    if (!width || !height || !m_BGSprite.Create(static_cast<DWORD>(width), static_cast<DWORD>(height))) {
        m_BGSprite.Delete();
        return;
    }
    TQ2DTexture& texture = m_BGSprite.GetTQ2DTexture();
    m_GDI.ClearTexture(texture, m_byTextureAlpha, m_dwTextureColor);
    m_GDI.ClearBitmap(TQ2DGUI_KEY_COLOR);
    m_GDI.Draw3dRect(0, 0, width, height, m_dwBGLineColor, m_dwBGLineColor);
    m_GDI.UpdateTexture(texture, 0, 0, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height));
}

void TQ2DGUIDataList::DrawBar(int width, int barHeight) {
    const int barWidth = std::max(width - 4, 0);
    if (!barWidth || !barHeight)
        return;
    m_GDI.FillSolidRect(0, 0, barWidth, barHeight, m_dwSelectColor);
    m_GDI.UpdateTexture(m_SelectSprite.GetTQ2DTexture(), 0, 0, 0, 0, static_cast<DWORD>(barWidth),
                        static_cast<DWORD>(barHeight));
}

void TQ2DGUIDataList::DrawLines(int width) {
    const DWORD count = m_Items.GetCount();
    const DWORD height = count * static_cast<DWORD>(m_nRowHeight);
    if (!width || !height || !m_TextSprite.Create(static_cast<DWORD>(width), height)) {
        m_TextSprite.Delete();
        return;
    }
    TQ2DTexture& texture = m_TextSprite.GetTQ2DTexture();
    m_GDI.ClearTexture(texture, 0, 0);
    HDC dc = m_GDI.GetHDC();
    SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, m_dwTextColor);
    for (DWORD row = 0; row < count; ++row) {
        const TQString& text = *m_Items.FindDataIndex(IndexOfRow(row));
        m_GDI.FillSolidRect(0, 0, width, m_nRowHeight, TQ2DGUI_KEY_COLOR);
        TextOutA(dc, 0, 0, text, static_cast<int>(text.GetLength()));
        m_GDI.UpdateTexture(texture, 0, row * static_cast<DWORD>(m_nRowHeight), 0, 0,
                            static_cast<DWORD>(width), static_cast<DWORD>(m_nRowHeight));
    }
}

void TQ2DGUIDataList::OnRender(float x, float y) {
    m_BGSprite.Render(x, y);
    if (m_nSelectRow >= 0)
        m_SelectSprite.Render(x + 2.0f, y + 2.0f + static_cast<float>(m_nRowHeight * m_nSelectRow));
    m_TextSprite.Render(x + 3.0f, y + 3.0f);
}

void TQ2DGUIDataList::OnSetSize(float, float) {
    BuildTexture();
}

void TQ2DGUIDataList::ClampSelectRow() {
    const int lines = ViewLines();
    if (m_nSelectRow >= lines)
        m_nSelectRow = lines - 1;
}

void TQ2DGUIDataList::OnMouseMove(float, float y) {
    if (m_nRowHeight == 0)
        return;
    m_nSelectRow = static_cast<int>(y) / m_nRowHeight;
    ClampSelectRow();
}

void TQ2DGUIDataList::OnMouseWheel(int n) {
    m_nSelectRow -= n;
    if (m_nSelectRow < 0)
        m_nSelectRow = 0;
    ClampSelectRow();
}

void TQ2DGUIDataList::OnMouseLButton(int n) {
    if (!n && GetMouseEnter() && m_nSelectRow >= 0 && GetParent())
        GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}
