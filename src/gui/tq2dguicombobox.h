/// @file
/// TQ2DGUIComboBox: an edit showing the chosen text, a drop-down button at its right edge and a data
/// list that opens below the box.
///
/// A click on the drop-down button opens the list (the combo box then holds the mouse capture and
/// is the modal control) and the next closes it; the list opens with the choice in view. Clicking a
/// line chooses it: its text goes into the edit, the list closes and the parent gets
/// TQ2DGUI_COMMAND_CHANGED (the parent may remove the combo box in its handler); so does every
/// SetCurSelect of the list. Hovering and the wheel choose nothing. A press anywhere but the list or
/// the button closes an open list without a choice, as do Escape and showing or hiding the combo
/// box. The edit only shows the choice: it is disabled, takes no typing, and a press on it is a
/// press on the combo box.
///
/// Combo-box description file, KEY=VALUE lines ('#' starts a comment in a value; colours 0xRRGGBB):
/// @code{.unparsed}
///   DROP_DOWN_BTN=animation description of the button's face
///   BG_ALPHA=0..255          BG_COLOR=fill colour           BG_LINE_COLOR=frame colour
///   TEXT_COLOR=line colour   SELECT_COLOR=highlight colour  DATA_SORT=nonzero: reversed
///   DATA_MAX_LINE=visible lines (0: all)  DATA_SELECT=key selected after loading (the last counts)
///   ADD_DATA=key,text        (the text is stored unchanged; text after a second ',' is dropped)
/// @endcode
/// DROP_DOWN_BTN is passed on as written: it starts at the resource root, as names in window files
/// do, not at this file's folder. Unknown keys are ignored. TEXT_COLOR colours the list's lines
/// only: the edit's text stays black until the game sets GetEdit().SetTextColor(RGB(...)), which
/// shows at the edit's next text (for the text shown now,
/// GetEdit().SetText(GetDataList().GetCurSelectData())).
///
/// Like an edit, the box draws no frame and no background: put an image behind it.
#pragma once

#include "gui/tq2dguibutton.h"
#include "gui/tq2dguidatalist.h"
#include "gui/tq2dguiedit.h"

/// Combo-box types. The type is int-sized so that any number a description file gives is a valid
/// value (an unknown type acts as the normal one).
enum T_TQ2DCOMBOBOX : int {
    TQ2DCOMBOBOX_NORMAL = 0,
    /// A press on the box itself, while it has the focus, also opens and closes the list.
    TQ2DCOMBOBOX_CLICK_TOGGLES = 1,
};

/// An edit, a drop-down button and a data list; see tq2dguicombobox.h.
class TQ2DGUIComboBox : public TQ2DGUIObject {
public:
    /// Button, list (hidden) and edit as children with control IDs 1, 2 and 3.
    TQ2DGUIComboBox();
    ~TQ2DGUIComboBox() override = default;

    /// Reads a combo-box description file and selects its DATA_SELECT key: 0 for a NULL name or a
    /// file already being read further up (TQ2DGUIDescriptionChain); a missing file leaves default
    /// looks and an empty list.
    int InitFromConfig(const char* szFile);
    /// The button's face; a combo box without a size takes the face's size. 1.
    int SetTexture(const char* szFile);
    /// Sets the combo-box type.
    void SetComboBoxType(T_TQ2DCOMBOBOX type) { m_eComboBoxType = type; }
    /// The combo-box type.
    T_TQ2DCOMBOBOX GetComboBoxType() const { return m_eComboBoxType; }
    /// The drop-down button (child 1).
    TQ2DGUIButton& GetDropDownButton() { return m_DropDown; }
    /// The data list (child 2).
    TQ2DGUIDataList& GetDataList() { return m_DataList; }
    /// The edit (child 3).
    TQ2DGUIEdit& GetEdit() { return m_Edit; }

    /// Places the button at the right edge, the edit beside it and the list below.
    void CalculatePos();
    /// Opens the list when it is closed, else closes it.
    void ToggleDataView();
    /// Closes the list (hides it, releases the capture and the modal state).
    void CloseDataView();

    void OnCommand(TQ2DGUIObject* pSender, DWORD dwCommand) override;
    void OnUpdate(float fDelta, float x, float y) override;
    void OnSetSize(float w, float h) override;
    void OnSetShowMode(int n) override;
    void OnMouseLButton(int n) override;

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIComboBox)

private:
    // Applies one description line; updates the selection for DATA_SELECT.
    void ApplyLine(const TQString& key, const TQString& value, int& selection);
    void PickSelectedLine();

    T_TQ2DCOMBOBOX m_eComboBoxType = TQ2DCOMBOBOX_NORMAL;
    TQ2DGUIButton m_DropDown;
    TQ2DGUIDataList m_DataList;
    TQ2DGUIEdit m_Edit;
};
