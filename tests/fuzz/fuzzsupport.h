// Shared set-up of the fuzz harnesses: the engine started once on the headless video backend (sound
// through the dummy audio driver) in a private working folder, where each input is written as the
// file the reader is asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class TQGfxDevice;

namespace fuzz {

// Starts the engine once per process (TQ2DInit, 64 × 48, headless, loggers silenced) in a fresh
// folder that is removed at exit, with a small image "t.bmp" beside the inputs for files that name a
// texture. Relative resource names of the engine start there; the device's own loaders take
// relative names from the program's folder, so they are given Absolute names. Files named on a
// harness's command line must be given with absolute paths too. Returns the device.
TQGfxDevice* StartEngine();

// Writes the input as the file `name` in the working folder; returns the name.
std::string WriteInput(const char* name, const uint8_t* data, size_t size);
// The full path of a file of the working folder.
std::string Absolute(const std::string& name);

// The input as text (it may hold zero bytes; the text then ends at the first).
std::string AsText(const uint8_t* data, size_t size);

} // namespace fuzz

// The entry point of every harness, defined by it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
