// File names in the description files of a pack and in the resource script of a zip pack: every
// name field (TEX, TEX_LIST, PSI, SOUND, ANF_0, ADD_IMAGE, ADD_BUTTON, ADD_SCROLL_BAR, ADD_WINDOW,
// ADD_COMBOBOX, DROP_DOWN_BTN) of descriptions at the pack's root and in a folder, and the file of
// every resource kind of a script (and an Include), filled from the lines of the input. While they
// are read, every open, openat, fopen and opendir of the process is watched (OpenWatch): one outside
// the working folder (where the packs are) and the program's folder aborts.
#include <minizip/zip.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "../engine/openwatch.h"
#include "engine/cmorvainepack.h"
#include "engine/tq2danimation.h"
#include "engine/tq2dpack.h"
#include "engine/tq2dparticle.h"
#include "engine/tq2dsprite.h"
#include "fuzzsupport.h"
#include "gui/tq2dguicombobox.h"
#include "gui/tq2dguiwindow.h"
#include "helpers/tqgfxresourcemanager.h"
#include "platform/win32/tqpath.h"

namespace {

// The input's lines, NULs dropped; at least one (possibly empty) name.
std::vector<std::string> Names(const uint8_t* data, size_t size) {
    std::vector<std::string> names(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n')
            names.emplace_back();
        else if (data[i] != '\0')
            names.back().push_back(static_cast<char>(data[i]));
    }
    return names;
}

// The description files of the pack, their name fields filled in turn from names.
std::vector<std::pair<std::string, std::string>> Descriptions(const std::vector<std::string>& names) {
    size_t next = 0;
    auto name = [&]() { return names[next++ % names.size()]; };
    std::vector<std::pair<std::string, std::string>> files;
    for (const std::string folder : {"", "SUB/"}) {
        files.push_back({folder + "S.TXT", "TEX=" + name() + "\n"});
        files.push_back({folder + "A.TXT", "TEX=" + name() + "\nCOUNT=1\nSOUND=" + name() +
                                               "\nANF_COUNT=1\nANF_0=0,0,0," + name() + "\n"});
        files.push_back({folder + "L.TXT", "TEX_LIST=" + name() + "\nCOUNT=2\n"});
        files.push_back({folder + "P.TXT", "TEX=" + name() + "\nPSI=" + name() + "\nSOUND=" + name() + "\n"});
        files.push_back({folder + "W.TXT", "ADD_IMAGE=1,0,0," + name() + "\nADD_BUTTON=2,0,0,0," + name() +
                                               "\nADD_SCROLL_BAR=3,0,0,0,8,8," + name() + "," + name() + "," +
                                               name() + "\nADD_WINDOW=4,0,0," + name() +
                                               "\nADD_COMBOBOX=5,0,0,0,8,8," + name() + "\n"});
        files.push_back({folder + "C.TXT", "DROP_DOWN_BTN=" + name() + "\n"});
    }
    return files;
}

bool MakePack(const std::vector<std::pair<std::string, std::string>>& files) {
    TQ2DPackRemoveAll();
    fuzz::WriteInput("names.pak", nullptr, 0);
    CMorvainePack pack;
    if (!pack.SetPackage("names.pak"))
        return false;
    for (const auto& file : files) {
        fuzz::WriteInput("stage", reinterpret_cast<const uint8_t*>(file.second.data()), file.second.size());
        if (!pack.AddFile("stage", file.first.c_str()))
            return false;
    }
    pack.Close();
    return TQ2DPackAdd("names.pak") == 1;
}

// A resource script whose every file name comes from names (quotes dropped, so each stays one
// token): a resource of each kind that names a file, a sprite on a texture, and an Include.
std::string Script(const std::vector<std::string>& names) {
    size_t next = 0;
    auto name = [&]() {
        std::string quoted = "\"";
        for (char c : names[next++ % names.size()])
            if (c != '"')
                quoted += c;
        return quoted + "\"";
    };
    std::string script;
    for (const char* kind : {"Resource", "Texture", "Sound", "Music", "Stream", "Font"})
        script += std::string(kind) + " " + kind + "1 { filename = " + name() + " }\n";
    script += "Sprite sprite1 { texture = " + name() + "\n rect = 0,0,1,1 }\n";
    return script + "Include " + name() + "\n";
}

// The zip pack "names.zip" holding the script GEMS.RES, attached to the device.
bool MakeZipPack(TQGfxDevice* device, const std::string& script) {
    device->Resource_RemoveAllPacks();
    zipFile zip = zipOpen(fuzz::Absolute("names.zip").c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    zip_fileinfo info{};
    zipOpenNewFileInZip(zip, "GEMS.RES", &info, nullptr, 0, nullptr, 0, nullptr, 0, 0);
    zipWriteInFileInZip(zip, script.data(), static_cast<unsigned>(script.size()));
    zipCloseFileInZip(zip);
    return zipClose(zip, nullptr) == ZIP_OK &&
           device->Resource_AttachPack(fuzz::Absolute("names.zip").c_str(), nullptr);
}

void ReadScript() {
    TQGfxResourceManager resources("gems.res");
    resources.Precache();
}

void ReadAll() {
    for (const std::string folder : {"", "sub/"}) {
        TQ2DSprite().CreateFromConfig((folder + "s.txt").c_str());
        TQ2DAnimation().CreateFromConfig((folder + "a.txt").c_str());
        TQ2DAnimation().CreateFromConfig((folder + "l.txt").c_str());
        TQ2DParticle().CreateFromConfig((folder + "p.txt").c_str());
        TQ2DGUIWindow().InitFromConfig((folder + "w.txt").c_str());
        TQ2DGUIComboBox().InitFromConfig((folder + "c.txt").c_str());
    }
}

TQGfxDevice* Start() {
    static TQGfxDevice* device = nullptr;
    if (device)
        return device;
    device = fuzz::StartEngine();
    // Whatever the readers open once for good (fonts of the controls) is opened before watching.
    if (MakePack(Descriptions({"t.bmp"})))
        ReadAll();
    if (MakeZipPack(device, Script({"t.bmp"})))
        ReadScript();
    return device;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TQGfxDevice* device = Start();
    const std::vector<std::string> names = Names(data, size);
    if (!MakePack(Descriptions(names)) || !MakeZipPack(device, Script(names)))
        return 0;
    {
        // The sound decoder, given bytes of no sound format it knows, looks for a resource fork of a
        // file without a name: one fixed path, whatever the input.
        const OpenWatch watch({tqplat::WorkingFolder(), tqplat::ApplicationFolder(), "/..namedfork/rsrc"});
        ReadAll();
        ReadScript();
        for (const std::string& outside : watch.Outside())
            std::fprintf(stderr, "fuzz_packnames: %s: outside the packs and the resource folders\n",
                         outside.c_str());
        if (!watch.Outside().empty())
            std::abort();
    }
    TQ2DPackRemoveAll();
    device->Resource_RemoveAllPacks();
    return 0;
}
