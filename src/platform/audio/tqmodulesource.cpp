#include "platform/audio/tqmodulesource.h"

#include "platform/audio/tqaudiolog.h"

#include <libopenmpt/libopenmpt.h>

namespace tqaudio {

namespace {

void LogFromLibrary(const char* message, void*) {
    LogMessage("music: %s", message);
}

} // namespace

std::unique_ptr<ModuleSource> ModuleSource::Open(const void* data, size_t size, int rate) {
    int probe = openmpt_probe_file_header(OPENMPT_PROBE_FILE_HEADER_FLAGS_MODULES, data, size, size, nullptr,
                                          nullptr, openmpt_error_func_ignore, nullptr, nullptr, nullptr);
    if (probe != OPENMPT_PROBE_FILE_HEADER_RESULT_SUCCESS) {
        LogMessage("not a tracker module");
        return nullptr;
    }
    int error = 0;
    openmpt_module* module = openmpt_module_create_from_memory2(
        data, size, LogFromLibrary, nullptr, openmpt_error_func_ignore, nullptr, &error, nullptr, nullptr);
    if (!module) {
        LogMessage("tracker module cannot be loaded (error %d)", error);
        return nullptr;
    }
    openmpt_module_set_repeat_count(module, 0);
    return std::unique_ptr<ModuleSource>(new ModuleSource(module, rate));
}

ModuleSource::~ModuleSource() {
    openmpt_module_destroy(module_);
}

size_t ModuleSource::Read(float* out, size_t frames) {
    return openmpt_module_read_interleaved_float_stereo(module_, rate_, frames, out);
}

void ModuleSource::Rewind() {
    openmpt_module_set_position_seconds(module_, 0.0);
}

void ModuleSource::SetLooping(bool loop) {
    openmpt_module_set_repeat_count(module_, loop ? -1 : 0);
}

} // namespace tqaudio
