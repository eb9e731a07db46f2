#include "enginetestutil.h"

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "engine/cmorvainepack.h"
#include "engine/tq2dpack.h"

int g_nTestFrames = 0;
int g_nTestStopAfter = 1;

bool CountingFrame() {
    return ++g_nTestFrames >= g_nTestStopAfter;
}

TQ2D_INIT_INFO_tag SmallEngineInfo() {
    TQ2D_INIT_INFO_tag info{};
    info.pfnFrame = CountingFrame;
    info.nWidth = 64;
    info.nHeight = 48;
    info.bRunInactive = TRUE;
    return info;
}

void EngineTest::SetUp() {
    setenv("TQ_VIDEO", "headless", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    g_nTestFrames = 0;
    g_nTestStopAfter = 1;
}

void EngineTest::TearDown() {
    TQ2DClose();
}

void EngineTest::StartEngine() {
    TQ2D_INIT_INFO_tag info = SmallEngineInfo();
    ASSERT_NE(TQ2DInit(&info, nullptr), nullptr);
}

void StartedEngineTest::SetUp() {
    EngineTest::SetUp();
    StartEngine();
}

void StartedEngineTest::TearDown() {
    TQ2DPackRemoveAll();
    EngineTest::TearDown();
}

AssetFolder::AssetFolder() {
    static int serial = 0;
    m_relative = "EngTest_" + std::to_string(getpid()) + "_" + std::to_string(++serial);
    m_root = ProgramFolder() + "/" + m_relative;
    std::filesystem::create_directories(m_root);
}

AssetFolder::~AssetFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_root, ignored);
}

std::string AssetFolder::Path(const std::string& name) const {
    const std::filesystem::path path = std::filesystem::path(m_root) / name;
    std::filesystem::create_directories(path.parent_path());
    return path.string();
}

std::string AssetFolder::ProgramFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

namespace {

void PutLE(std::vector<unsigned char>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

} // namespace

std::vector<unsigned char> PngBytes(int width, int height, const std::vector<uint32_t>& pixels, bool alpha) {
    std::vector<unsigned char> rgba;
    for (uint32_t pixel : pixels) {
        rgba.push_back(static_cast<unsigned char>(pixel >> 16));
        rgba.push_back(static_cast<unsigned char>(pixel >> 8));
        rgba.push_back(static_cast<unsigned char>(pixel));
        if (alpha)
            rgba.push_back(static_cast<unsigned char>(pixel >> 24));
    }
    const int channels = alpha ? 4 : 3;
    int length = 0;
    unsigned char* png =
        stbi_write_png_to_mem(rgba.data(), width * channels, width, height, channels, &length);
    std::vector<unsigned char> bytes(png, png + length);
    STBIW_FREE(png);
    return bytes;
}

void WritePng(const std::string& path, int width, int height, const std::vector<uint32_t>& pixels) {
    WriteFile(path, PngBytes(width, height, pixels));
}

std::vector<unsigned char> WavBytes(size_t samples) {
    std::vector<unsigned char> bytes;
    const uint32_t dataSize = static_cast<uint32_t>(samples * 2);
    for (char c : std::string("RIFF"))
        bytes.push_back(static_cast<unsigned char>(c));
    PutLE(bytes, 36 + dataSize, 4);
    for (char c : std::string("WAVEfmt "))
        bytes.push_back(static_cast<unsigned char>(c));
    PutLE(bytes, 16, 4);
    PutLE(bytes, 1, 2);
    PutLE(bytes, 1, 2);
    PutLE(bytes, 22050, 4);
    PutLE(bytes, 44100, 4);
    PutLE(bytes, 2, 2);
    PutLE(bytes, 16, 2);
    for (char c : std::string("data"))
        bytes.push_back(static_cast<unsigned char>(c));
    PutLE(bytes, dataSize, 4);
    for (size_t i = 0; i < samples; ++i)
        PutLE(bytes, static_cast<uint16_t>(static_cast<int16_t>(8000 * std::sin(i * 0.1))), 2);
    return bytes;
}

void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

void MakePack(const AssetFolder& folder, const std::string& path,
              const std::vector<std::pair<std::string, std::vector<unsigned char>>>& files) {
    WriteFile(path, {});
    CMorvainePack pack;
    ASSERT_TRUE(pack.SetPackage(path.c_str()));
    for (const auto& file : files) {
        const std::string source = folder.Path("src_" + std::to_string(&file - &files[0]));
        WriteFile(source, file.second);
        ASSERT_TRUE(pack.AddFile(source.c_str(), file.first.c_str()));
    }
}
