#include "demowindow.h"

#include <cstring>

#include "base/tqstring.h"
#include "engine/tq2dpack.h"
#include "gui/tq2dguicombobox.h"
#include "gui/tq2dguiedit.h"
#include "gui/tq2dguiscrollbar.h"
#include "gui/tq2dguistatic.h"
#include "platform/gdi32/tqgdi32.h"

namespace {

enum ControlID : DWORD {
    kBackground = 2,
    kOpen,
    kMusic,
    kRed,
    kGreen,
    kBlue,
    kHint,
    kEdit, // 9
    kEditBox,
    kSort,
    kScroll,
    kPicked,
    kMarkBox,
    kList,
    kMarkup,
    // Children are drawn in the order of their IDs: the combo box's list opens over the others.
    kCombo,
    kPopup,
};

struct ControlName {
    const char* name;
    DWORD id;
};

const ControlName kControlNames[] = {
    {"BACKGROUND", kBackground}, {"OPEN", kOpen},        {"MUSIC", kMusic}, {"RED", kRed},
    {"GREEN", kGreen},           {"BLUE", kBlue},        {"HINT", kHint},   {"EDIT", kEdit},
    {"EDIT_BOX", kEditBox},      {"COMBO", kCombo},      {"SORT", kSort},   {"SCROLL", kScroll},
    {"PICKED", kPicked},         {"MARK_BOX", kMarkBox},
};

// The combo box's edit, by the number the combo box gives it.
const DWORD kComboEdit = 3;
// The popup's static text, by its number in gui/popup.txt.
const DWORD kPopupText = 2;

const char* const kPlanets[] = {"Mercury", "Venus",  "Earth",   "Mars",  "Ceres",  "Jupiter",
                                "Saturn",  "Uranus", "Neptune", "Pluto", "Haumea", "Makemake"};
const int kPlanetCount = sizeof(kPlanets) / sizeof(kPlanets[0]);
const int kListLines = 8;

// The edit's first text: "Type here: " and "hello" in Chinese, GBK.
const char* const kEditText = "Type here: \xC4\xE3\xBA\xC3";

const COLORREF kStaticColor = RGB(0xE0, 0xE8, 0xFF);

// Statics draw in black unless told otherwise; the panels are dark.
void Brighten(TQ2DGUIObject* control) {
    TQ2DGUIStatic* text = dynamic_cast<TQ2DGUIStatic*>(control);
    if (!text)
        return;
    SetTextColor(text->GetGDI().GetHDC(), kStaticColor);
    text->BuildTexture();
}

// The edit's text and caret in white, drawn anew.
void Whiten(TQ2DGUIObject* control, const char* text) {
    TQ2DGUIEdit* edit = dynamic_cast<TQ2DGUIEdit*>(control);
    if (!edit)
        return;
    edit->SetTextColor(RGB(0xFF, 0xFF, 0xFF));
    edit->SetCaratColor(RGB(0xFF, 0xFF, 0xFF));
    edit->SetText(text);
}

} // namespace

DemoWindow::~DemoWindow() {
    m_music.Delete();
}

DWORD DemoWindow::OnGetControlID(const char* name) {
    for (const ControlName& entry : kControlNames)
        if (std::strcmp(name, entry.name) == 0)
            return entry.id;
    return 0;
}

void DemoWindow::OnInitComplete() {
    Brighten(GetControl(kHint));
    Brighten(GetControl(kPicked));
    Whiten(GetControl(kEdit), kEditText);
    TQ2DGUIComboBox* combo = dynamic_cast<TQ2DGUIComboBox*>(GetControl(kCombo));
    if (combo) {
        const TQString chosen = combo->GetDataList().GetCurSelectData();
        Whiten(combo->GetControl(kComboEdit), chosen.GetString());
    }
    AddDataList();
    AddMarkup();
    AddPopup();
    m_music.SetLoopMode(true);
    m_music.Create("music/loop.wav", 0);
}

// The list of planets under the header button, scrolled by the scroll bar beside it.
void DemoWindow::AddDataList() {
    m_list = new TQ2DGUIDataList;
    m_list->SetControlID(kList);
    m_list->SetTextureColor(0x202C50);
    m_list->SetBGLineColor(RGB(0x9A, 0xB0, 0xE0));
    m_list->SetTextColor(RGB(0xFF, 0xFF, 0xFF));
    m_list->SetSelectColor(RGB(0x50, 0x78, 0xC0));
    m_list->SetMaxDataViewLine(kListLines);
    for (int i = 0; i < kPlanetCount; ++i)
        m_list->AddString(i, "%2d  %s", i + 1, kPlanets[i]);
    m_list->SetPos(12, 146);
    m_list->SetSize(180, 0);
    AddControl(m_list, 1);
    TQ2DGUIScrollBar* scroll = dynamic_cast<TQ2DGUIScrollBar*>(GetControl(kScroll));
    if (scroll)
        scroll->SetMaxScrollRange(kPlanetCount - kListLines);
}

void DemoWindow::AddMarkup() {
    TQString text;
    TQ2DPackGetFile("gui/markup.txt", text);
    m_markup = new MarkupPanel;
    m_markup->SetControlID(kMarkup);
    m_markup->SetPos(224, 132);
    m_markup->Create(182, 188, text.GetString());
    AddControl(m_markup, 1);
}

// The popup: a window of its own from its description file, hidden until the push button opens it.
void DemoWindow::AddPopup() {
    m_popup = new TQ2DGUIWindow;
    m_popup->SetControlID(kPopup);
    m_popup->InitFromConfig("gui/popup.txt");
    TQ2DGUIObject* text = m_popup->GetControl(kPopupText);
    Brighten(text);
    if (text)
        text->SetEnableMode(0);
    m_popup->SetPos(80, 120);
    AddControl(m_popup, 1);
    m_popup->SetShowMode(0, 0);
}

// The chosen planet stays chosen and in view.
void DemoWindow::ToggleOrder() {
    m_list->SetDataOrderBy(!m_list->GetDataOrderBy());
    m_list->SetSize(m_list->GetSize().x, m_list->GetSize().y);
    Report("List sorted %s", m_list->GetDataOrderBy() ? "last first" : "first first");
}

// The scroll bar's position is the list's first line shown.
void DemoWindow::ScrollList(DWORD row) {
    m_list->SetTopLine(static_cast<int>(row));
}

// The list scrolls by the wheel and to its choice too: the scroll bar follows it.
void DemoWindow::OnUpdate(float delta, float x, float y) {
    TQ2DGUIWindow::OnUpdate(delta, x, y);
    TQ2DGUIScrollBar* scroll = dynamic_cast<TQ2DGUIScrollBar*>(GetControl(kScroll));
    if (scroll && m_list)
        scroll->SetScrollPos(m_list->GetTopLine());
}

void DemoWindow::Report(const char* format, const char* text) {
    TQ2DGUIStatic* picked = dynamic_cast<TQ2DGUIStatic*>(GetControl(kPicked));
    if (!picked)
        return;
    TQString line;
    line.Format(format, text);
    picked->SetText(line.GetString());
}

void DemoWindow::OnCommand(TQ2DGUIObject* sender, DWORD command) {
    if (!sender)
        return;
    // The popup hands on its Close button's commands (and Escape's) as its own; a click on the
    // popup's background comes as a click.
    if (sender == m_popup) {
        if (command == TQ2DGUI_COMMAND_CHANGED)
            m_popup->SetPopupMode(0);
        return;
    }
    switch (sender->GetControlID()) {
    case kOpen:
        if (command == TQ2DGUI_COMMAND_CHANGED)
            m_popup->SetPopupMode(1);
        break;
    case kMusic:
        if (command == TQ2DGUI_COMMAND_CHANGED) {
            if (sender->GetStatus())
                m_music.Play();
            else
                m_music.Stop();
        }
        break;
    case kRed:
    case kGreen:
    case kBlue: {
        static const unsigned long kTints[3] = {0xFFFFA0A0, 0xFFA0FFA0, 0xFFFFFFFF};
        if (sender->GetStatus() && m_markup)
            m_markup->SetTint(kTints[sender->GetControlID() - kRed]);
        break;
    }
    case kSort:
        if (command == TQ2DGUI_COMMAND_CLICK)
            ToggleOrder();
        break;
    case kScroll:
        ScrollList(dynamic_cast<TQ2DGUIScrollBar*>(sender)->GetScrollPos());
        break;
    // A choice comes as a change; a click on the list or the box alone chooses nothing.
    case kList:
        if (command == TQ2DGUI_COMMAND_CHANGED)
            Report("List: %s", m_list->GetCurSelectData().GetString());
        break;
    case kCombo:
        if (command == TQ2DGUI_COMMAND_CHANGED)
            Report("Combo: %s",
                   dynamic_cast<TQ2DGUIComboBox*>(sender)->GetDataList().GetCurSelectData().GetString());
        break;
    case kEdit:
        if (command == TQ2DGUI_COMMAND_ENTER)
            Report("Typed: %s", dynamic_cast<TQ2DGUIEdit*>(sender)->GetText().GetString());
        break;
    default:
        break;
    }
}
