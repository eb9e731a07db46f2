/// @class TQ2DGUIWindow
/// TQ2DGUIWindow: the container control. It can be dragged inside its move range (when its move
/// mode is set) from a press on a part of it without enabled children, closes itself on Escape
/// while it is the modal control, passes its children's commands on to its parent as
/// (window, TQ2DGUI_COMMAND_CHANGED), and builds its children from window description files.
///
/// Window description file: one KEY=VALUE line each; '#' starts a comment (in keys and values),
/// keys are case-insensitive, fields are separated by ',' (so no field holds ',' or '#'):
/// @code{.unparsed}
///   SIZE=width,height
///   ADD_IMAGE=id,x,y,animation
///   ADD_BUTTON=id,type,x,y,animation,width,height,group,status
///   ADD_SCROLL_BAR=id,type,x,y,width,height,up animation,down animation,thumb animation
///   ADD_WINDOW=id,x,y,window description
///   ADD_COMBOBOX=id,type,x,y,width,height,combo-box description
///   ADD_STATIC=id,x,y,width,height,align (1 centred, 2 right, else left),text
///   ADD_EDIT=id,x,y,width,height
/// @endcode
/// The files a line names (animations, nested windows, combo-box files) are passed on as written:
/// they start at the resource root (the packs' root, then the working folder), not at this file's
/// folder, so a window file gui/options.wnd names gui/panel.ani. (Names inside sprite, animation and
/// particle descriptions start at their own file's folder.) A name that is not found logs one line
/// and leaves its control without a face; InitFromConfig still returns 1.
/// The id field is offered (trimmed, upper-cased) to OnGetControlID first; 0 reads it as a number.
/// Other keys go to OnInitFromConfig. Added controls are owned by the window; a control whose ID is
/// already taken is dropped. A file already being read further up (a file naming itself, directly
/// or through others), nesting deeper than 16 levels and controls beyond the bound of one
/// description tree are refused with a log line (TQ2DGUIDescriptionChain).
#pragma once

#include "base/tqstring.h"
#include "gui/tq2dguiobject.h"

class TQStringParser;

class TQ2DGUIWindow : public TQ2DGUIObject {
public:
    TQ2DGUIWindow() = default;
    ~TQ2DGUIWindow() override = default;

    /// Builds children from a window description file (appending to those it has): 0 for a NULL
    /// name, a nesting too deep or a file already being read further up, else 1, also when the file cannot be
    /// found. OnInitComplete runs at the end.
    int InitFromConfig(const char* szFile);

    /// Nonzero while the window is being dragged.
    int GetDragging() const { return m_bDragging; }

    void OnUpdate(float fDelta, float x, float y) override;
    void OnCommand(TQ2DGUIObject* pSender, DWORD dwCommand) override;
    void OnMouseMove(float x, float y) override;
    void OnMouseLButton(int n) override;
    /// A key of a description file that the window does not know.
    virtual void OnInitFromConfig(TQString& key, TQString& value);
    /// After the last line of a description file.
    virtual void OnInitComplete();

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIWindow)

private:
    void ApplyLine(TQString& key, TQString& value);
    DWORD ControlID(const TQStringParser& fields);
    // Adds a control built from a line; logs the line when the control could not be allocated.
    void Attach(TQ2DGUIObject* control, const char* message, const TQString& value);

    void AddImage(const TQStringParser& fields, const TQString& value);
    void AddButton(const TQStringParser& fields, const TQString& value);
    void AddScrollBar(const TQStringParser& fields, const TQString& value);
    void AddWindow(const TQStringParser& fields, const TQString& value);
    void AddComboBox(const TQStringParser& fields, const TQString& value);
    void AddStatic(const TQStringParser& fields, const TQString& value);
    void AddEdit(const TQStringParser& fields, const TQString& value);

    int m_bDragging = 0;
    TQ2D_POINT_tag m_ptDragAnchor = {0.0f, 0.0f};
};
