// GuiScene: the GUI toolkit. A draggable window built from a window description file holds push,
// group and toggle buttons, a scroll bar, a sortable data list, an edit that takes typed text and
// shows the input method's composition, a combo box from its description file and marked-up text
// with a line of Chinese stored as GBK. Its push button opens a modal popup that Escape closes.
#pragma once

#include "demoscene.h"
#include "demowindow.h"
#include "gui/tq2dguiobject.h"

class GuiScene : public DemoScene {
public:
    GuiScene();
    bool Load() override;
    bool OnEscape() override;
    void Update(float dt) override;
    void Render() override;

private:
    TQ2DGUIObject m_root;
    DemoWindow* m_window = nullptr;
};
