// Window description files: every kind of control, nested windows and combo boxes, and files
// naming themselves ("in.txt").
#include "fuzzsupport.h"
#include "gui/tq2dguiwindow.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    fuzz::WriteInput("in.txt", data, size);
    TQ2DGUIWindow window;
    window.InitFromConfig("in.txt");
    return 0;
}
