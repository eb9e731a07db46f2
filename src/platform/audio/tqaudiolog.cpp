#include "platform/audio/tqaudiolog.h"

#include "platform/codepage/tqcodepage.h"
#include "platform/system/tqlogline.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

namespace tqaudio {

namespace {

constexpr uint32_t kKeptLines = 32;
constexpr size_t kLineBytes = 240;
constexpr size_t kNameBytes = 80; // of a name in a line, which leaves room for the rest of it

// Static TLS: the module is loaded at run time, and the leak checker cannot scan dynamic TLS blocks.
__attribute__((tls_model("initial-exec"))) thread_local bool t_mixing = false;

// Lines from the mixing thread (the one writer), read by game-side calls one at a time.
struct KeptLines {
    char text[kKeptLines][kLineBytes];
    std::atomic<uint32_t> written{0};
    std::atomic<uint32_t> read{0};
    std::atomic<uint32_t> dropped{0};
    std::mutex reader;
};

KeptLines& Kept() {
    static KeptLines lines;
    return lines;
}

void Keep(const char* format, va_list args) {
    KeptLines& kept = Kept();
    const uint32_t at = kept.written.load(std::memory_order_relaxed);
    if (at - kept.read.load(std::memory_order_acquire) >= kKeptLines) {
        kept.dropped.fetch_add(1, std::memory_order_relaxed);
        return;
    }
    vsnprintf(kept.text[at % kKeptLines], kLineBytes, format, args);
    kept.written.store(at + 1, std::memory_order_release);
}

void Write(const char* format, ...) {
    va_list args;
    va_start(args, format);
    tqplat::WriteLogLine("tqaudio: ", format, args);
    va_end(args);
}

} // namespace

std::string LoggedName(const char* gbk) {
    const std::string name = tqplat::GbkToUtf8(gbk, strlen(gbk));
    if (name.size() <= kNameBytes) {
        return name;
    }
    size_t from = name.size() - kNameBytes;
    while ((name[from] & 0xC0) == 0x80) { // not within a character
        ++from;
    }
    return "..." + name.substr(from);
}

void LogMessage(const char* format, ...) {
    va_list args;
    va_start(args, format);
    if (t_mixing) {
        Keep(format, args);
    } else {
        tqplat::WriteLogLine("tqaudio: ", format, args);
    }
    va_end(args);
}

MixingThreadScope::MixingThreadScope() {
    t_mixing = true;
}

MixingThreadScope::~MixingThreadScope() {
    t_mixing = false;
}

void WriteMixingThreadLines() {
    KeptLines& kept = Kept();
    if (kept.read.load(std::memory_order_relaxed) == kept.written.load(std::memory_order_acquire) &&
        kept.dropped.load(std::memory_order_relaxed) == 0) {
        return;
    }
    std::lock_guard<std::mutex> lock(kept.reader);
    const uint32_t written = kept.written.load(std::memory_order_acquire);
    for (uint32_t at = kept.read.load(std::memory_order_relaxed); at != written; ++at) {
        Write("%s", kept.text[at % kKeptLines]);
        kept.read.store(at + 1, std::memory_order_release);
    }
    if (const uint32_t dropped = kept.dropped.exchange(0)) {
        Write("%u more lines from the mixing thread were dropped", dropped);
    }
}

} // namespace tqaudio
