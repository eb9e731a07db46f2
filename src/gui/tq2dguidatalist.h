/// @class TQ2DGUIDataList
/// TQ2DGUIDataList: text lines stored under numeric keys, shown in a framed box of a fixed number of
/// visible lines. The selected line carries the bar; the line under the mouse is highlighted with
/// a half-transparent one. A click on a line selects it and tells the parent
/// (TQ2DGUI_COMMAND_CHANGED), as does every SetCurSelect; hovering only highlights. The wheel
/// turned over the list scrolls it one line a notch.
///
/// All lines are drawn once with GDI into one tall texture, the visible part being a rectangle of
/// it; the box with its frame and the bar are textures of their own. What is drawn changes only at
/// BuildTexture (every SetSize rebuilds); the control's height is then set from the visible lines
/// (row height times lines, plus the frame), whatever height SetSize asked for: read GetSize().y
/// after it to place what goes below, or a scroll bar beside it. Lines are shown in ascending key
/// order, or reversed. The list draws no header: a button above it (its click reversing the
/// order) serves as one. Columns come from the text (a fixed-pitch font through GetGDI and padded
/// printf fields) or from one list per column.
///
/// Colours: the fill colour is a texel colour 0xRRGGBB, the frame, text and bar colours are GDI
/// colours 0x00BBGGRR (RGB(r, g, b)); each shows at the next build.
///
/// Selection: SetCurSelect(key) selects the item stored under key (an unknown key the first line)
/// and scrolls the least that brings it into view; the view always shows as many lines as fit.
/// GetCurSelect() returns the selected item's key, -1 when none: only while the list is empty or
/// not yet built. Every build of a list with items selects (keeping the selected item, else the
/// first line) and tells the parent, so after the first SetSize the first line is selected and the
/// parent has had a TQ2DGUI_COMMAND_CHANGED. A game that wants "nothing chosen" adds a line of its
/// own for it (a key sorting first, such as 0 "- none -"), or keeps its own flag set only by the
/// player's clicks. The same item stays selected when the list is rebuilt or its order reversed.
/// Keys are unsigned 32-bit values: a key given as a wider or a negative number keeps its low 32
/// bits, so SetCurSelect(-1) selects the item under 0xFFFFFFFF.
#pragma once

#include "base/tqstring.h"
#include "base/tqstringindex.h"
#include "engine/tq2dsprite.h"
#include "gui/tq2dgdi.h"
#include "gui/tq2dguiobject.h"

class TQ2DGUIDataList : public TQ2DGUIObject {
public:
    TQ2DGUIDataList() = default;
    ~TQ2DGUIDataList() override = default;

    /// Formats the text printf-style and stores it under key (replacing an old one). Not redrawn.
    void AddString(unsigned long key, const char* format, ...) __attribute__((format(printf, 3, 4)));
    /// Not redrawn either.
    void DelString(unsigned long key);
    /// The text under key; an empty text for an unknown key.
    TQString& GetString(unsigned long key);
    /// The items by key.
    TQStringIndex& GetItems() { return m_Items; }

    /// Selects the item under key (an unknown key: the first line), brings it into view, tells the parent.
    void SetCurSelect(int key);
    /// Key of the selected item, -1 when none.
    int GetCurSelect();
    /// The text of the selected item (empty when none).
    TQString& GetCurSelectData();
    /// Scrolls the least that brings the selected line into view.
    void ShowCurSelect();

    /// Looks, taking effect at the next BuildTexture (SetSize). Texture colour is a texel colour
    /// 0xRRGGBB; the others are GDI colours 0x00BBGGRR, as RGB(r, g, b) makes them.
    void SetTextureAlpha(unsigned char alpha) { m_byTextureAlpha = alpha; }
    /// The texture alpha.
    unsigned char GetTextureAlpha() const { return m_byTextureAlpha; }
    /// Fill colour of the box (0xRRGGBB).
    void SetTextureColor(DWORD color) { m_dwTextureColor = color; }
    /// The fill colour.
    DWORD GetTextureColor() const { return m_dwTextureColor; }
    /// Frame colour (0x00BBGGRR).
    void SetBGLineColor(DWORD color) { m_dwBGLineColor = color; }
    /// The frame colour.
    DWORD GetBGLineColor() const { return m_dwBGLineColor; }
    /// Colour of the lines' text (0x00BBGGRR).
    void SetTextColor(DWORD color) { m_dwTextColor = color; }
    /// The text colour.
    DWORD GetTextColor() const { return m_dwTextColor; }
    /// Colour of the selection bar (0x00BBGGRR).
    void SetSelectColor(DWORD color) { m_dwSelectColor = color; }
    /// The selection bar's colour.
    DWORD GetSelectColor() const { return m_dwSelectColor; }
    /// Nonzero: the last key on top.
    void SetDataOrderBy(int order) { m_nOrderBy = order; }
    /// The order (nonzero: the last key on top).
    int GetDataOrderBy() const { return m_nOrderBy; }
    /// Visible lines; 0 shows every item. More than 65535 count as 65535.
    void SetMaxDataViewLine(unsigned long lines) { m_dwMaxDataViewLine = lines; }
    /// The visible lines (0: all).
    unsigned long GetMaxDataViewLine() const { return m_dwMaxDataViewLine; }

    /// Height of one line in pixels.
    int GetRowHeight() const { return m_nRowHeight; }
    /// The first line shown (a display position).
    int GetTopLine() const { return m_nTopLine; }
    /// Scrolls the view to start at display position row, kept so that the view is filled.
    void SetTopLine(int row);
    /// Row of the line under the mouse within the view, -1 for none.
    int GetSelectRow() const { return m_nSelectRow; }
    /// The surface the lines are drawn on.
    TQ2DGDI& GetGDI() { return m_GDI; }
    /// The box's sprite.
    TQ2DSprite& GetBGSprite() { return m_BGSprite; }
    /// The lines' sprite.
    TQ2DSprite& GetTextSprite() { return m_TextSprite; }
    /// The selection bar's sprite.
    TQ2DSprite& GetSelectSprite() { return m_SelectSprite; }

    /// Redraws box, bar and lines and shows the view from the current selection again.
    virtual void BuildTexture();

    void OnRender(float x, float y) override;
    void OnSetSize(float w, float h) override;
    void OnMouseMove(float x, float y) override;
    void OnMouseEnter() override;
    void OnMouseLeave() override;
    void OnMouseLButton(int n) override;
    void OnMouseWheel(int n) override;

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIDataList)

private:
    int ViewLines() const;
    // The index position of the item shown on display row, and back.
    DWORD IndexOfRow(DWORD row) const;
    // The display row of the item under key, -1 when none.
    int RowOfKey(ULONGLONG key);
    int SelectedRow();
    void SelectRow(int row);
    // The row of a shown line at (x, y), relative to the list; -1 off the lines.
    int RowAt(float x, float y);
    void RenderBar(float x, float y, int row, unsigned char alpha);
    void DrawBackground(int width, int height);
    void DrawBar(int width, int barHeight);
    void DrawLines(int width);

    TQ2DGDI m_GDI;
    TQ2DSprite m_BGSprite;
    TQ2DSprite m_TextSprite;
    TQ2DSprite m_SelectSprite;
    TQStringIndex m_Items;
    BYTE m_byTextureAlpha = 0xFF;
    DWORD m_dwTextureColor = 0xFFFFFF;
    DWORD m_dwBGLineColor = 0xAB8768;
    DWORD m_dwTextColor = 0x000000;
    DWORD m_dwSelectColor = 0xF4E8D9;
    int m_nOrderBy = 0;
    unsigned long m_dwMaxDataViewLine = 0;
    int m_nRowHeight = 0;
    int m_nTopLine = 0;
    int m_nSelectRow = -1;
    bool m_bSelected = false;
    ULONGLONG m_qwSelectedKey = 0;
    TQString m_strNone; // what the text getters return for a missing item
};
