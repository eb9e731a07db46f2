// Resource_Load from a zip pack of 1,000 small entries: the first entry, the last, one spread over
// the whole pack in turn, and a name the pack does not hold (which then falls back to the disk).
// Usage: bench_zip [benchmark options]
#include "device/tqgfxdevice.h"

#include <benchmark/benchmark.h>
#include <minizip/zip.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

const int kEntries = 1000;

std::string EntryName(int index) {
    char name[32];
    std::snprintf(name, sizeof(name), "data/file%04d.txt", index);
    return name;
}

// A pack of kEntries deflated entries of 100 bytes each, attached to a device; removed at the end.
class BenchPack {
public:
    BenchPack() : path("/tmp/bench_zip_" + std::to_string(getpid()) + ".zip"), dev(TQGfxCreate(16)) {
        const std::string text(100, 'z');
        zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
        for (int i = 0; i < kEntries; ++i) {
            zip_fileinfo info{};
            zipOpenNewFileInZip(zip, EntryName(i).c_str(), &info, nullptr, 0, nullptr, 0, nullptr, 8, 6);
            zipWriteInFileInZip(zip, text.data(), static_cast<unsigned>(text.size()));
            zipCloseFileInZip(zip);
        }
        zipClose(zip, nullptr);
        dev->Resource_AttachPack(path.c_str(), nullptr);
    }
    ~BenchPack() {
        dev->Release();
        unlink(path.c_str());
    }

    void Load(const std::string& name) {
        DWORD size = 0;
        void* loaded = dev->Resource_Load(name.c_str(), &size);
        benchmark::DoNotOptimize(loaded);
        dev->Resource_Free(loaded);
    }

    const std::string path;
    TQGfxDevice* dev;
};

// The entry of the given number, again and again.
void BM_LoadEntry(benchmark::State& state) {
    BenchPack pack;
    const std::string name = EntryName(static_cast<int>(state.range(0)));
    for (auto _ : state)
        pack.Load(name);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadEntry)->Arg(0)->Arg(kEntries - 1);

void BM_LoadEveryEntryInTurn(benchmark::State& state) {
    BenchPack pack;
    int next = 0;
    for (auto _ : state) {
        pack.Load(EntryName(next));
        next = (next + 7) % kEntries;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadEveryEntryInTurn);

void BM_LoadMissingName(benchmark::State& state) {
    BenchPack pack;
    for (auto _ : state)
        pack.Load("data/none.txt");
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LoadMissingName);

} // namespace
