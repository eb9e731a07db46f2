// Bitmap font description files, with the texture "t.bmp" beside them.
#include "fuzzsupport.h"
#include "helpers/tqgfxfont.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    const std::string name = fuzz::Absolute(fuzz::WriteInput("in.fnt", data, size));
    TQGfxFont font(name.c_str());
    font.GetStringWidth("Ab 1\nxy");
    return 0;
}
