#include "platform/audio/tqmodulesource.h"

#include "platform/audio/tqaudiolog.h"

#include <libopenmpt/libopenmpt.h>

namespace tqaudio {

namespace {

void LogFromLibrary(const char* message, void*) {
    LogMessage("music: %s", message);
}

} // namespace

openmpt_module* ModuleSource::Load(const void* data, size_t size) {
    int error = 0;
    openmpt_module* module = openmpt_module_create_from_memory2(
        data, size, LogFromLibrary, nullptr, openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
    if (!module) {
        LogMessage("tracker module cannot be loaded (error %d)", error);
    }
    return module;
}

std::unique_ptr<ModuleSource> ModuleSource::Open(const void* data, size_t size, int rate) {
    int probe = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_MODULES, data, size, size, nullptr,
                                          nullptr, openmpt_error_func_ignore, nullptr, nullptr, nullptr);
    if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS) {
        LogMessage("not a tracker module");
        return nullptr;
    }
    openmpt_module* module = Load(data, size);
    openmpt_module* spare = module ? Load(data, size) : nullptr;
    if (!spare) {
        if (module) {
            openmpt_module_destroy(module);
        }
        return nullptr;
    }
    return std::unique_ptr<ModuleSource>(new ModuleSource(module, spare, rate));
}

ModuleSource::~ModuleSource() {
    openmpt_module_destroy(module_);
    openmpt_module_destroy(spare_);
}

size_t ModuleSource::Read(float* out, size_t frames) {
    return openmpt_module_read_interleaved_float_stereo(module_, rate_, frames, out);
}

// With no spare ready (a rewind the game side did not prepare), the module moves back in place.
void ModuleSource::Rewind() {
    if (spareAtStart_.load(std::memory_order_acquire)) {
        std::swap(module_, spare_);
        spareAtStart_.store(false, std::memory_order_release);
        SetLooping(looping_);
    } else {
        openmpt_module_set_position_seconds(module_, 0.0);
    }
}

void ModuleSource::SetLooping(bool loop) {
    looping_ = loop;
    openmpt_module_set_repeat_count(module_, loop ? -1 : 0);
}

void ModuleSource::PrepareRewind() {
    if (!spareAtStart_.load(std::memory_order_acquire)) {
        openmpt_module_set_position_seconds(spare_, 0.0);
        spareAtStart_.store(true, std::memory_order_release);
    }
}

} // namespace tqaudio
