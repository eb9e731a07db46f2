// Device benchmarks on the headless display: the cost of adding quads to the batch (one texture,
// or two textures alternating so that every quad is a draw call), and loading a file from a zip
// pack. Usage: bench_device [benchmark options]
#include "device/tqgfxdevice.h"

#include <benchmark/benchmark.h>
#include <minizip/zip.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const bool kHeadless = setenv("TQ_VIDEO", "headless", 0) == 0;

bool Frame() {
    return true;
}

// A started device of 256 × 256 with two small textures, shut down at the end.
class BenchDevice {
public:
    BenchDevice() : dev(TQGfxCreate(16)) {
        dev->System_SetState(TQGFX_WINDOWED, true);
        dev->System_SetState(TQGFX_SCREENWIDTH, 256);
        dev->System_SetState(TQGFX_SCREENHEIGHT, 256);
        dev->System_SetState(TQGFX_USESOUND, false);
        dev->System_SetState(TQGFX_FRAMEFUNC, Frame);
        dev->System_Initiate();
        textures[0] = dev->Texture_Create(8, 8);
        textures[1] = dev->Texture_Create(8, 8);
    }
    ~BenchDevice() { dev->Release(); }

    TQGfxDevice* dev;
    DWORD textures[2];
};

TQ2D_QUAD_tag SmallQuad(DWORD texture) {
    TQ2D_QUAD_tag quad{};
    quad.v[0] = {10, 10, 0.5f, 0xFFFFFFFF, 0, 0};
    quad.v[1] = {12, 10, 0.5f, 0xFFFFFFFF, 1, 0};
    quad.v[2] = {12, 12, 0.5f, 0xFFFFFFFF, 1, 1};
    quad.v[3] = {10, 12, 0.5f, 0xFFFFFFFF, 0, 1};
    quad.tex = texture;
    quad.blend = TQ2D_BLEND_DEFAULT;
    return quad;
}

void RenderQuads(benchmark::State& state, bool alternate) {
    BenchDevice bench;
    TQ2D_QUAD_tag quads[2] = {SmallQuad(bench.textures[0]), SmallQuad(bench.textures[1])};
    const int count = static_cast<int>(state.range(0));
    for (auto _ : state) {
        bench.dev->Gfx_BeginScene(0);
        for (int i = 0; i < count; ++i)
            bench.dev->Gfx_RenderQuad(&quads[alternate ? i & 1 : 0]);
        bench.dev->Gfx_EndScene();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_QuadsOneTexture(benchmark::State& state) {
    RenderQuads(state, false);
}
BENCHMARK(BM_QuadsOneTexture)->Arg(1000)->Arg(10000);

void BM_QuadsAlternatingTextures(benchmark::State& state) {
    RenderQuads(state, true);
}
BENCHMARK(BM_QuadsAlternatingTextures)->Arg(1000);

void BM_LoadFromZipPack(benchmark::State& state) {
    std::string path = "/tmp/bench_device_" + std::to_string(getpid()) + ".zip";
    std::string data(static_cast<size_t>(state.range(0)), 'z');
    zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    zip_fileinfo info{};
    zipOpenNewFileInZip(zip, "data/file.bin", &info, nullptr, 0, nullptr, 0, nullptr, 8, 6);
    zipWriteInFileInZip(zip, data.data(), static_cast<unsigned>(data.size()));
    zipCloseFileInZip(zip);
    zipClose(zip, nullptr);
    TQGfxDevice* dev = TQGfxCreate(16);
    dev->Resource_AttachPack(path.c_str(), nullptr);
    for (auto _ : state) {
        DWORD size = 0;
        void* loaded = dev->Resource_Load("data/file.bin", &size);
        benchmark::DoNotOptimize(loaded);
        dev->Resource_Free(loaded);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
    dev->Release();
    unlink(path.c_str());
}
BENCHMARK(BM_LoadFromZipPack)->Arg(64 * 1024)->Arg(1024 * 1024);

} // namespace
