#include "wavfile.h"

#include <fstream>

void PutLE(std::vector<uint8_t>& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

namespace {

void PutText(std::vector<uint8_t>& bytes, const char* text) {
    while (*text)
        bytes.push_back(static_cast<uint8_t>(*text++));
}

} // namespace

bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bool(out);
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> bytes;
    PutText(bytes, "RIFF");
    PutLE(bytes, 36 + dataBytes, 4);
    PutText(bytes, "WAVEfmt ");
    PutLE(bytes, 16, 4);
    PutLE(bytes, 1, 2);
    PutLE(bytes, 1, 2);
    PutLE(bytes, kAudioRate, 4);
    PutLE(bytes, kAudioRate * 2, 4);
    PutLE(bytes, 2, 2);
    PutLE(bytes, 16, 2);
    PutText(bytes, "data");
    PutLE(bytes, dataBytes, 4);
    for (int16_t sample : samples)
        PutLE(bytes, static_cast<uint16_t>(sample), 2);
    return WriteBytes(path, bytes);
}
