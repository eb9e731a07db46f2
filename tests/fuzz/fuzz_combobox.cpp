// Combo-box description files.
#include "fuzzsupport.h"
#include "gui/tq2dguicombobox.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    fuzz::WriteInput("in.txt", data, size);
    TQ2DGUIComboBox combo;
    combo.SetSize(60, 12);
    combo.InitFromConfig("in.txt");
    return 0;
}
