// Writing 16-bit mono PCM sounds as WAV files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

const int kAudioRate = 22050;

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples);
// Writes bytes to a file as they are.
bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);
// Appends `value` as `size` little-endian bytes.
void PutLE(std::vector<uint8_t>& bytes, uint32_t value, int size);
