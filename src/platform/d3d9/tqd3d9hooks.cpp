#include "platform/d3d9/tqd3d9hooks.h"

#include "platform/d3d9/tqdevice.h"
#include "platform/system/tqcpubudget.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace tqplat {

namespace {
// Switches tests and benchmarks flip from their own thread while devices draw; atomic for that.
std::atomic<D3DFORMAT> g_refusedFullScreenFormat{D3DFMT_UNKNOWN};
std::atomic<bool> g_genericPath{false};
std::atomic<int> g_renderThreads{0};
// More threads than this would only share the same rows among more waiting threads.
constexpr int kMaxRenderThreads = 64;

int ThreadsFromEnvironment() {
    const char* value = std::getenv("TQ_RENDER_THREADS");
    if (!value || !*value)
        return 0;
    char* end = nullptr;
    long threads = std::strtol(value, &end, 10);
    return (*end == '\0' && threads >= 1) ? static_cast<int>(std::min<long>(threads, kMaxRenderThreads)) : 0;
}
} // namespace

void D3D9ForceDeviceLost(IDirect3DDevice9* device, int lostPolls) {
    if (device)
        static_cast<tqd3d9::Device*>(device)->ForceLost(lostPolls);
}

void D3D9RefuseFullScreenFormat(D3DFORMAT format) {
    g_refusedFullScreenFormat = format;
}

D3DFORMAT D3D9RefusedFullScreenFormat() {
    return g_refusedFullScreenFormat;
}

void D3D9UseGenericPath(bool generic) {
    tqd3d9::Device::FinishDrawingOnEveryDevice();
    g_genericPath = generic;
}

bool D3D9GenericPathInUse() {
    return g_genericPath;
}

void D3D9SetRenderThreads(int threads) {
    g_renderThreads = std::clamp(threads, 0, kMaxRenderThreads);
}

int D3D9RenderThreads() {
    const int set = g_renderThreads.load();
    if (set > 0)
        return set;
    int threads = ThreadsFromEnvironment();
    if (threads > 0)
        return threads;
    return std::clamp(UsableCpuCount(), 1, kMaxRenderThreads);
}

} // namespace tqplat
