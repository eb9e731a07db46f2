// Renders MOD, S3M, XM or IT music with libopenmpt, as stereo at a chosen rate. Looping music loops
// in the library, as its author set; a rewind moves the module back to its start (which allocates:
// the decode thread does it).
#pragma once

#include "platform/audio/tqaudiosource.h"

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
    void SetLooping(bool loop) override;

private:
    ModuleSource(openmpt_module* module, int rate) : module_(module), rate_(rate) {}

    openmpt_module* module_;
    int rate_;
};

} // namespace tqaudio
