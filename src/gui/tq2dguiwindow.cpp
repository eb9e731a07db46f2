#include "gui/tq2dguiwindow.h"

#include "base/tqlog.h"
#include "base/tqstringparser.h"
#include "gui/tq2dguibutton.h"
#include "gui/tq2dguicombobox.h"
#include "gui/tq2dguidescription.h"
#include "gui/tq2dguidescriptionchain.h"
#include "gui/tq2dguiedit.h"
#include "gui/tq2dguiimage.h"
#include "gui/tq2dguiscrollbar.h"
#include "gui/tq2dguistatic.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIWindow)

namespace {

const char kSourcePath[] = "lib/project/dozaz2i/source/tq2dguiwindow";
const char kReader[] = "TQ2DGUIWindow::InitFromConfig";
const int kEscape = 0x1B;
const int kMaxNesting = 16;
const DWORD kStaticFormat = 0x24; // vertically centred, single line

float Number(const TQStringParser& fields, DWORD index) {
    return static_cast<float>(fields.GetTokenNum(index));
}

DWORD Unsigned(const TQStringParser& fields, DWORD index) {
    return static_cast<DWORD>(fields.GetTokenNum(index));
}

TQString Trimmed(const TQStringParser& fields, DWORD index) {
    TQString text = fields.GetToken(index);
    text.Trim();
    return text;
}

void LogError(int line, const char* format, const char* value) {
    g_tqLogError.SetLogInfo(kSourcePath, kReader, line);
    g_tqLogError.Log(format, value);
}

// Counts one more control for the description tree being read; false beyond its bound.
bool MayBuild(const TQString& value) {
    return TQ2DGUIDescriptionChain::TakeControl(kReader, value);
}

} // namespace

int TQ2DGUIWindow::InitFromConfig(const char* szFile) {
    if (!szFile)
        return 0;
    if (TQ2DGUIDescriptionChain::Depth() >= kMaxNesting) {
        LogError(__LINE__, TQLOG_ERROR_PREFIX "Window nesting too deep. [pData=%s]", szFile);
        return 0;
    }
    TQ2DGUIDescriptionChain chain(szFile, kReader);
    if (!chain.Entered())
        return 0;
    TQString text;
    TQ2DGUIReadDescription(szFile, text);
    for (TQ2DGUIDescriptionLine& line : TQ2DGUISplitDescription(text, true))
        if (line.key.GetLength())
            ApplyLine(line.key, line.value);
    OnInitComplete();
    return 1;
}

void TQ2DGUIWindow::ApplyLine(TQString& key, TQString& value) {
    TQStringParser fields(value);
    fields.SetParser(',', 0);
    if (key.Compare("SIZE", 0) == 0) {
        if (fields.GetCount() == 2)
            SetSize(Number(fields, 1), Number(fields, 2));
    } else if (key.Compare("ADD_IMAGE", 0) == 0) {
        AddImage(fields, value);
    } else if (key.Compare("ADD_BUTTON", 0) == 0) {
        AddButton(fields, value);
    } else if (key.Compare("ADD_SCROLL_BAR", 0) == 0) {
        AddScrollBar(fields, value);
    } else if (key.Compare("ADD_WINDOW", 0) == 0) {
        AddWindow(fields, value);
    } else if (key.Compare("ADD_COMBOBOX", 0) == 0) {
        AddComboBox(fields, value);
    } else if (key.Compare("ADD_STATIC", 0) == 0) {
        AddStatic(fields, value);
    } else if (key.Compare("ADD_EDIT", 0) == 0) {
        AddEdit(fields, value);
    } else {
        OnInitFromConfig(key, value);
    }
}

DWORD TQ2DGUIWindow::ControlID(const TQStringParser& fields) {
    TQString name = fields.GetToken(1);
    name.MakeTrimUpper();
    const DWORD id = OnGetControlID(name);
    return id ? id : Unsigned(fields, 1);
}

void TQ2DGUIWindow::Attach(TQ2DGUIObject* control, const char* message, const TQString& value) {
    if (!control) {
        LogError(__LINE__, message, value);
        return;
    }
    if (!AddControl(control, 1))
        delete control; // its ID is taken: nothing else refers to it
}

void TQ2DGUIWindow::AddImage(const TQStringParser& fields, const TQString& value) {
    if (!MayBuild(value))
        return;
    TQ2DGUIImage* image = new TQ2DGUIImage;
    if (image) {
        image->SetControlID(ControlID(fields));
        image->SetPos(Number(fields, 2), Number(fields, 3));
        image->SetTexture(fields.GetToken(4));
    }
    Attach(image, TQLOG_ERROR_PREFIX "TQ2DGUIImage create fail. [pData=%s]", value);
}

void TQ2DGUIWindow::AddButton(const TQStringParser& fields, const TQString& value) {
    if (!MayBuild(value))
        return;
    TQ2DGUIButton* button = new TQ2DGUIButton;
    if (button) {
        button->SetControlID(ControlID(fields));
        button->SetButtonType(static_cast<T_TQ2DBUTTON>(Unsigned(fields, 2)));
        button->SetPos(Number(fields, 3), Number(fields, 4));
        button->SetTexture(fields.GetToken(5));
        button->SetGroup(Unsigned(fields, 8));
        button->SetStatus(static_cast<int>(Unsigned(fields, 9)));
        const float width = Number(fields, 6);
        const float height = Number(fields, 7);
        if (width != 0.0f || height != 0.0f)
            button->SetSize(width, height);
    }
    Attach(button, TQLOG_ERROR_PREFIX "TQ2DGUIButton create fail. [pData=%s]", value);
}

void TQ2DGUIWindow::AddScrollBar(const TQStringParser& fields, const TQString& value) {
    if (!MayBuild(value))
        return;
    TQ2DGUIScrollBar* bar = new TQ2DGUIScrollBar;
    if (bar) {
        bar->SetControlID(ControlID(fields));
        bar->SetScrollType(static_cast<T_TQ2DSCROLLBAR>(Unsigned(fields, 2)));
        bar->SetPos(Number(fields, 3), Number(fields, 4));
        bar->SetSize(Number(fields, 5), Number(fields, 6));
        bar->SetTexture(Trimmed(fields, 7), Trimmed(fields, 8), Trimmed(fields, 9));
    }
    Attach(bar, TQLOG_ERROR_PREFIX "TQ2DGUIScrollBar create fail. [pData=%s]", value);
}

void TQ2DGUIWindow::AddWindow(const TQStringParser& fields, const TQString& value) {
    if (!MayBuild(value))
        return;
    TQ2DGUIWindow* window = new TQ2DGUIWindow;
    if (window) {
        window->SetControlID(ControlID(fields));
        window->SetPos(Number(fields, 2), Number(fields, 3));
        window->InitFromConfig(fields.GetToken(4));
    }
    Attach(window, TQLOG_ERROR_PREFIX "TQ2DGUIWindow create fail. [pData=%s]", value);
}

void TQ2DGUIWindow::AddComboBox(const TQStringParser& fields, const TQString& value) {
    if (!MayBuild(value))
        return;
    TQ2DGUIComboBox* combo = new TQ2DGUIComboBox;
    if (combo) {
        combo->SetControlID(ControlID(fields));
        combo->SetComboBoxType(static_cast<T_TQ2DCOMBOBOX>(Unsigned(fields, 2)));
        combo->SetPos(Number(fields, 3), Number(fields, 4));
        combo->SetSize(Number(fields, 5), Number(fields, 6));
        combo->InitFromConfig(Trimmed(fields, 7));
    }
    Attach(combo, TQLOG_ERROR_PREFIX "TQ2DGUIComboBox create fail. [pData=%s]", value);
}

void TQ2DGUIWindow::AddStatic(const TQStringParser& fields, const TQString& value) {
    if (!MayBuild(value))
        return;
    TQ2DGUIStatic* text = new TQ2DGUIStatic;
    if (text) {
        text->SetControlID(ControlID(fields));
        text->SetPos(Number(fields, 2), Number(fields, 3));
        text->SetSize(Number(fields, 4), Number(fields, 5));
        const DWORD align = Unsigned(fields, 6);
        text->SetAlign(kStaticFormat | ((align == DT_CENTER || align == DT_RIGHT) ? align : DT_LEFT));
        text->SetText(Trimmed(fields, 7));
    }
    Attach(text, TQLOG_ERROR_PREFIX "TQ2DGUIStatic create fail. [pData=%s]", value);
}

void TQ2DGUIWindow::AddEdit(const TQStringParser& fields, const TQString& value) {
    if (!MayBuild(value))
        return;
    TQ2DGUIEdit* edit = new TQ2DGUIEdit;
    if (edit) {
        edit->SetControlID(ControlID(fields));
        edit->SetPos(Number(fields, 2), Number(fields, 3));
        edit->SetSize(Number(fields, 4), Number(fields, 5));
    }
    Attach(edit, TQLOG_ERROR_PREFIX "TQ2DGUIEdit create fail. [pData=%s]", value);
}

void TQ2DGUIWindow::OnInitFromConfig(TQString&, TQString&) {}

void TQ2DGUIWindow::OnInitComplete() {}

void TQ2DGUIWindow::OnUpdate(float, float, float) {
    if (GetModalControl() != this || !GetParent() || !TakeKey(kEscape))
        return;
    if (GetPopupMode())
        SetPopupMode(0);
    ClearStatus();
    GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}

void TQ2DGUIWindow::OnCommand(TQ2DGUIObject*, DWORD) {
    if (GetParent())
        GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}

void TQ2DGUIWindow::OnMouseMove(float x, float y) {
    if (!m_bDragging)
        return;
    const TQ2D_POINT_tag before = GetPos();
    float nx = x - m_ptDragAnchor.x + before.x;
    float ny = y - m_ptDragAnchor.y + before.y;
    const unsigned char corrected = AdjustPosRange(nx, ny);
    // A clamped axis takes a new grab point: where the mouse now lies on the moved window, so the
    // window stays put while the mouse is beyond the range and follows as soon as it comes back.
    if (corrected & 1)
        m_ptDragAnchor.x = x + before.x - GetPos().x;
    if (corrected & 2)
        m_ptDragAnchor.y = y + before.y - GetPos().y;
    if (!corrected)
        SetPos(nx, ny);
}

// A drag starts from a press that the window itself took (not one of its children, whatever
// their IDs) and ends with any release.
void TQ2DGUIWindow::OnMouseLButton(int n) {
    if (!n) {
        if (!m_bDragging)
            return;
        m_bDragging = 0;
        m_ptDragAnchor.x = 0.0f;
        m_ptDragAnchor.y = 0.0f;
        CaptureMouse(0);
        return;
    }
    if (!GetMoveMode() || GetActiveControl() != this)
        return;
    m_bDragging = 1;
    m_ptDragAnchor = GetMousePos();
    CaptureMouse(1);
}
