// Ini files through the device: values read as numbers and text, one written back.
#include "device/tqgfxdevice.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TQGfxDevice* device = fuzz::StartEngine();
    const std::string ini = fuzz::Absolute(fuzz::WriteInput("in.ini", data, size));
    device->System_SetState(TQGFX_INIFILE, ini.c_str());
    for (const char* section : {"GAME", "video"}) {
        device->Ini_GetInt(section, "width", 0);
        device->Ini_GetFloat(section, "volume", 0.5f);
        device->Ini_GetString(section, "name", "none");
    }
    device->Ini_SetInt("game", "level", 3);
    return 0;
}
