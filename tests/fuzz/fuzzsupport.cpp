#include "fuzzsupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "base/tqlog.h"
#include "engine/tq2dapi.h"
#include "engine/tq2dglobal.h"

namespace {

std::string g_folder;

bool NoFrame() {
    return false;
}

void RemoveFolder() {
    TQ2DClose();
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
}

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>(value >> (8 * i)));
}

// A 2 × 2 24-bit BMP: red, green / blue, white.
void WriteImage() {
    std::string bmp = "BM";
    for (uint32_t field : {70u, 0u, 54u, 40u, 2u, 2u})
        PutLittleEndian(bmp, field, 4);
    PutLittleEndian(bmp, 1, 2);  // planes
    PutLittleEndian(bmp, 24, 2); // bits per pixel
    for (uint32_t field : {0u, 16u, 0u, 0u, 0u, 0u})
        PutLittleEndian(bmp, field, 4);
    for (uint32_t pixel : {0xFF0000u, 0xFFFFFFu, 0x0000FFu, 0x00FF00u}) { // bottom row first, BGR
        PutLittleEndian(bmp, pixel, 3);
        if (pixel == 0xFFFFFFu || pixel == 0x00FF00u)
            PutLittleEndian(bmp, 0, 2); // rows are padded to 4 bytes
    }
    fuzz::WriteInput("t.bmp", reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size());
}

} // namespace

namespace fuzz {

TQGfxDevice* StartEngine() {
    if (g_pTQ2DDevice)
        return g_pTQ2DDevice;
    setenv("TQ_VIDEO", "headless", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    char pattern[] = "/tmp/tqfuzz_XXXXXX";
    if (!mkdtemp(pattern) || chdir(pattern) != 0) {
        std::perror("tqfuzz: working folder");
        std::abort();
    }
    g_folder = pattern;
    // Every bad input logs; millions of lines would only slow the fuzzer down.
    for (TQLog* log : {&g_tqLogError, &g_tqLogDebug})
        log->SetSink([](const std::string&) {});
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = NoFrame;
    info.nWidth = 64;
    info.nHeight = 48;
    info.bRunInactive = TRUE;
    if (!TQ2DInit(&info, nullptr)) {
        std::fprintf(stderr, "tqfuzz: the engine did not start\n");
        std::abort();
    }
    std::atexit(RemoveFolder);
    WriteImage();
    return g_pTQ2DDevice;
}

std::string WriteInput(const char* name, const uint8_t* data, size_t size) {
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return name;
}

std::string Absolute(const std::string& name) {
    return g_folder + "/" + name;
}

std::string AsText(const uint8_t* data, size_t size) {
    return std::string(reinterpret_cast<const char*>(data), size).c_str();
}

} // namespace fuzz
