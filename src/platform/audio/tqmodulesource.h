// Renders MOD, S3M, XM or IT music with libopenmpt, as stereo at a chosen rate.
//
// Moving the library's module back to its start allocates, so the music is loaded twice: a rewind
// on the mixing thread swaps in the spare, which waits at the start, and the game side moves the
// other back before the next rewind (PrepareRewind). A flag hands the spare from one side to the
// other. Looping music loops in the library, which needs no rewind.
#pragma once

#include "platform/audio/tqaudiosource.h"

#include <atomic>
#include <memory>

struct openmpt_module;

namespace tqaudio {

class ModuleSource : public AudioSource {
public:
    // Music from the file at `data` (copied), or NULL (logged) when it is not a readable module.
    static std::unique_ptr<ModuleSource> Open(const void* data, size_t size, int rate);
    ~ModuleSource() override;
    ModuleSource(const ModuleSource&) = delete;
    ModuleSource& operator=(const ModuleSource&) = delete;

    int Channels() const override { return 2; }
    int Rate() const override { return rate_; }
    size_t Read(float* out, size_t frames) override;
    void Rewind() override;
    void PrepareRewind() override;
    void SetLooping(bool loop) override;

private:
    ModuleSource(openmpt_module* module, openmpt_module* spare, int rate)
        : module_(module), spare_(spare), rate_(rate) {}
    static openmpt_module* Load(const void* data, size_t size);

    openmpt_module* module_;
    openmpt_module* spare_;
    std::atomic<bool> spareAtStart_{true}; // the spare is the mixing side's to swap in
    int rate_;
    bool looping_ = false;
};

} // namespace tqaudio
