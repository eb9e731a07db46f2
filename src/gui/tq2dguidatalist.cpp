#include "gui/tq2dguidatalist.h"

#include <algorithm>
#include <cstdarg>
#include <cstring>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIDataList)

namespace {

const int kRowPadding = 2;
const unsigned char kSelectedAlpha = 0xFF;
const unsigned char kHoverAlpha = 0x80;
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

int TQ2DGUIDataList::SelectedRow() {
    return m_bSelected ? RowOfKey(m_qwSelectedKey) : -1;
}

void TQ2DGUIDataList::SelectRow(int row) {
    m_bSelected = row >= 0;
    if (m_bSelected)
        m_qwSelectedKey = m_Items.FindDataIndexPtr(IndexOfRow(static_cast<DWORD>(row)))->GetKey();
}

// An unknown key selects the first line shown; an empty list has no selection.
void TQ2DGUIDataList::SetCurSelect(int key) {
    const int row = RowOfKey(ItemKey(static_cast<DWORD>(key)));
    SelectRow(row >= 0 ? row : (m_Items.GetCount() ? 0 : -1));
    ShowCurSelect();
    if (GetParent())
        GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}

// The least scroll that brings the selected line into view.
void TQ2DGUIDataList::ShowCurSelect() {
    int top = m_nTopLine;
    const int selected = SelectedRow();
    if (selected >= 0) {
        top = std::min(top, selected);
        top = std::max(top, selected - ViewLines() + 1);
    }
    SetTopLine(top);
}

void TQ2DGUIDataList::SetTopLine(int row) {
    const int count = static_cast<int>(m_Items.GetCount());
    m_nTopLine = std::max(std::min(row, count - ViewLines()), 0);
    const int shown = std::min(ViewLines(), count - m_nTopLine) * m_nRowHeight;
    m_TextSprite.SetTextureRect(0.0f, static_cast<float>(m_nTopLine * m_nRowHeight),
                                m_TextSprite.GetTQ2DTexture().GetWidth(true), static_cast<float>(shown));
    m_nSelectRow = GetMouseEnter() ? RowAt(GetMousePos().x, GetMousePos().y) : -1;
}

int TQ2DGUIDataList::GetCurSelect() {
    return SelectedRow() >= 0 ? static_cast<int>(static_cast<DWORD>(m_qwSelectedKey)) : -1;
}

// The selected item itself: every key, also one that reads as a negative int, has its text.
TQString& TQ2DGUIDataList::GetCurSelectData() {
    TQString* text = m_bSelected ? m_Items.FindData(m_qwSelectedKey) : nullptr;
    if (text)
        return *text;
    m_strNone = "";
    return m_strNone;
}

void TQ2DGUIDataList::BuildTexture() {
    const int lines = ViewLines();
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

// The selected line carries the bar; the line under the mouse a half-transparent one.
void TQ2DGUIDataList::OnRender(float x, float y) {
    m_BGSprite.Render(x, y);
    const int selectedRow = SelectedRow() - m_nTopLine;
    if (selectedRow >= 0 && selectedRow < ViewLines())
        RenderBar(x, y, selectedRow, kSelectedAlpha);
    if (m_nSelectRow >= 0 && m_nSelectRow != selectedRow)
        RenderBar(x, y, m_nSelectRow, kHoverAlpha);
    m_TextSprite.Render(x + 3.0f, y + 3.0f);
}

void TQ2DGUIDataList::RenderBar(float x, float y, int row, unsigned char alpha) {
    m_SelectSprite.SetAlpha(alpha);
    m_SelectSprite.Render(x + 2.0f, y + 2.0f + static_cast<float>(m_nRowHeight * row));
}

void TQ2DGUIDataList::OnSetSize(float, float) {
    BuildTexture();
}

// The row of a shown line at (x, y), relative to the list; -1 off the lines (empty rows too).
int TQ2DGUIDataList::RowAt(float x, float y) {
    if (m_nRowHeight <= 0 || x < 0.0f || y < 0.0f || x >= GetSize().x)
        return -1;
    const int row = static_cast<int>(y) / m_nRowHeight;
    const int shown = std::min(ViewLines(), static_cast<int>(m_Items.GetCount()) - m_nTopLine);
    return row < shown ? row : -1;
}

void TQ2DGUIDataList::OnMouseMove(float x, float y) {
    m_nSelectRow = RowAt(x, y);
}

// The mouse position is the last one seen: the one it comes back to, or one the move that follows
// corrects.
void TQ2DGUIDataList::OnMouseEnter() {
    m_nSelectRow = RowAt(GetMousePos().x, GetMousePos().y);
}

void TQ2DGUIDataList::OnMouseLeave() {
    m_nSelectRow = -1;
}

void TQ2DGUIDataList::OnMouseWheel(int n) {
    SetTopLine(m_nTopLine - n);
}

// A click chooses the line under the mouse, whatever the hover bar shows.
void TQ2DGUIDataList::OnMouseLButton(int n) {
    const int row = RowAt(GetMousePos().x, GetMousePos().y);
    if (n || !GetMouseEnter() || row < 0)
        return;
    SelectRow(m_nTopLine + row);
    if (GetParent())
        GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}
