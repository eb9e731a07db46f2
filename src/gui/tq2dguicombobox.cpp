#include "gui/tq2dguicombobox.h"

#include "base/tqstringparser.h"
#include "gui/tq2dguidescription.h"
#include "gui/tq2dguidescriptionchain.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DGUIComboBox)

namespace {

const DWORD kButtonID = 1;
const DWORD kListID = 2;
const DWORD kEditID = 3;
const int kEscape = 0x1B;

// 0xRRGGBB as the GDI colour 0x00BBGGRR.
DWORD ToColorRef(LONGLONG rgb) {
    const DWORD value = static_cast<DWORD>(rgb);
    return (value & 0xFF) << 16 | (value & 0xFF00) | ((value >> 16) & 0xFF);
}

} // namespace

TQ2DGUIComboBox::TQ2DGUIComboBox() {
    m_DropDown.SetControlID(kButtonID);
    m_DataList.SetControlID(kListID);
    m_Edit.SetControlID(kEditID);
    m_DataList.SetShowMode(0, 0);
    // The edit only shows the choice: it takes neither typing nor the mouse, so a press on the box
    // reaches the combo box.
    m_Edit.SetEnableMode(0);
    AddControl(&m_DropDown, 0);
    AddControl(&m_DataList, 0);
    AddControl(&m_Edit, 0);
}

int TQ2DGUIComboBox::InitFromConfig(const char* szFile) {
    if (!szFile)
        return 0;
    TQ2DGUIDescriptionChain chain(szFile, "TQ2DGUIComboBox::InitFromConfig");
    if (!chain.Entered())
        return 0;
    TQString text;
    TQ2DGUIReadDescription(szFile, text);
    int selection = -1;
    for (const TQ2DGUIDescriptionLine& line : TQ2DGUISplitDescription(text, false))
        ApplyLine(line.key, line.value, selection);
    SetSize(GetSize().x, GetSize().y);
    m_DataList.SetCurSelect(selection);
    return 1;
}

void TQ2DGUIComboBox::ApplyLine(const TQString& key, const TQString& value, int& selection) {
    const LONGLONG number = value.GetValue(nullptr);
    if (key.Compare("DROP_DOWN_BTN", 0) == 0) {
        m_DropDown.SetTexture(value);
    } else if (key.Compare("BG_ALPHA", 0) == 0) {
        m_DataList.SetTextureAlpha(static_cast<unsigned char>(number));
    } else if (key.Compare("BG_COLOR", 0) == 0) {
        m_DataList.SetTextureColor(static_cast<DWORD>(number));
    } else if (key.Compare("BG_LINE_COLOR", 0) == 0) {
        m_DataList.SetBGLineColor(ToColorRef(number));
    } else if (key.Compare("TEXT_COLOR", 0) == 0) {
        m_DataList.SetTextColor(ToColorRef(number));
    } else if (key.Compare("SELECT_COLOR", 0) == 0) {
        m_DataList.SetSelectColor(ToColorRef(number));
    } else if (key.Compare("DATA_SORT", 0) == 0) {
        m_DataList.SetDataOrderBy(static_cast<int>(number != 0));
    } else if (key.Compare("DATA_MAX_LINE", 0) == 0) {
        m_DataList.SetMaxDataViewLine(static_cast<unsigned long>(number));
    } else if (key.Compare("DATA_SELECT", 0) == 0) {
        selection = static_cast<int>(number);
    } else if (key.Compare("ADD_DATA", 0) == 0) {
        TQStringParser fields(value);
        fields.SetParser(',', 1);
        m_DataList.AddString(static_cast<unsigned long>(fields.GetTokenNum(1)), "%s",
                             fields.GetToken(2).GetString());
    }
}

int TQ2DGUIComboBox::SetTexture(const char* szFile) {
    m_DropDown.SetTexture(szFile);
    if (GetSize().x == 0.0f && GetSize().y == 0.0f)
        SetSize(m_DropDown.GetTexture().GetWidth(), m_DropDown.GetTexture().GetHeight());
    else
        SetSize(GetSize().x, GetSize().y);
    return 1;
}

void TQ2DGUIComboBox::CalculatePos() {
    const float width = GetSize().x;
    const float height = GetSize().y;
    const float button = m_DropDown.GetTexture().GetWidth();
    m_DropDown.SetPos(width - button, 0.0f);
    m_DataList.SetPos(0.0f, height + 1.0f);
    m_DataList.SetSize(width, height);
    m_Edit.SetPos(0.0f, 0.0f);
    m_Edit.SetSize(width - button, height);
}

void TQ2DGUIComboBox::ToggleDataView() {
    const int show = m_DataList.GetShowMode() ? 0 : 1;
    if (show)
        m_DataList.ShowCurSelect();
    m_DataList.SetShowMode(show, 0);
    CaptureMouse(show);
    if (show)
        SetModalControl(this);
    else
        ClearModalControl(this);
}

void TQ2DGUIComboBox::CloseDataView() {
    m_DataList.SetShowMode(0, 0);
    CaptureMouse(0);
    ClearModalControl(this);
}

// The list is closed before the parent hears of the pick, since the parent may remove (and so
// delete) the combo box in its handler.
void TQ2DGUIComboBox::PickSelectedLine() {
    m_Edit.SetText(m_DataList.GetCurSelectData());
    CloseDataView();
    if (GetParent())
        GetParent()->OnCommand(this, TQ2DGUI_COMMAND_CHANGED);
}

void TQ2DGUIComboBox::OnCommand(TQ2DGUIObject* pSender, DWORD dwCommand) {
    // The button reports its press and its click; only the click opens or closes the list.
    if (pSender == &m_DropDown && dwCommand == TQ2DGUI_COMMAND_CLICK)
        ToggleDataView();
    else if (pSender == &m_DataList && dwCommand == TQ2DGUI_COMMAND_CHANGED)
        PickSelectedLine();
}

// Escape closes the open list (one Escape, one popup).
void TQ2DGUIComboBox::OnUpdate(float, float, float) {
    if (m_DataList.GetShowMode() && GetModalControl() == this && TakeKey(kEscape))
        CloseDataView();
}

void TQ2DGUIComboBox::OnSetSize(float, float) {
    CalculatePos();
}

void TQ2DGUIComboBox::OnSetShowMode(int) {
    CloseDataView();
}

void TQ2DGUIComboBox::OnMouseLButton(int n) {
    if (!n)
        return;
    if (GetMouseEnter() && GetFocusControl() == this) {
        if (m_eComboBoxType == TQ2DCOMBOBOX_CLICK_TOGGLES)
            ToggleDataView();
        return;
    }
    if (!m_DataList.GetMouseEnter() && GetFocusControl() != &m_DropDown)
        CloseDataView();
}
