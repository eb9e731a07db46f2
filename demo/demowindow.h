// DemoWindow: the GUI scene's window. Its description file (gui/window.txt) names the controls,
// which this class turns into control IDs; after the file it adds what a window file cannot hold
// (a data list, the marked-up text and the modal popup) and then reacts to its controls: the push
// button opens the popup, the toggle plays music, the group buttons tint the marked-up text, the
// header sorts the list, the scroll bar scrolls it (and follows it when the wheel scrolls it), and
// choices and typed lines are reported below.
#pragma once

#include "engine/tq2dmusic.h"
#include "gui/tq2dguidatalist.h"
#include "gui/tq2dguiwindow.h"
#include "markuppanel.h"

class DemoWindow : public TQ2DGUIWindow {
public:
    ~DemoWindow() override;

    DWORD OnGetControlID(const char* name) override;
    void OnInitComplete() override;
    void OnCommand(TQ2DGUIObject* sender, DWORD command) override;
    void OnUpdate(float delta, float x, float y) override;

private:
    void AddDataList();
    void AddMarkup();
    void AddPopup();
    void ToggleOrder();
    void ScrollList(DWORD row);
    void Report(const char* format, const char* text);

    TQ2DGUIDataList* m_list = nullptr;
    TQ2DGUIWindow* m_popup = nullptr;
    MarkupPanel* m_markup = nullptr;
    TQ2DMusic m_music;
};
