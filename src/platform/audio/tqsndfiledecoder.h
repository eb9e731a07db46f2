// Decodes a WAV, OGG, FLAC or MP3 file held in memory with libsndfile. The memory is not copied
// and must outlive the decoder. Files of more than two channels are folded down to stereo by
// their channel layout. Why a file was refused is kept for the caller to say with the file's
// name (Refusal), not logged here.
#pragma once

#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqchannelfold.h"

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <vector>

namespace tqaudio {

class SndfileDecoder : public AudioSource {
public:
    // The rates a file may play at: those of a created sample.
    static constexpr int kMinRate = 100;
    static constexpr int kMaxRate = 192000;

    // A decoder for the file at `data`, or NULL when it is not a readable sound file at a rate
    // from kMinRate to kMaxRate.
    static std::unique_ptr<SndfileDecoder> Open(const void* data, size_t size);
    // Why the last file this thread opened or read whole was refused, as "not a readable sound
    // file (reason)"; "" when it was not.
    static const char* Refusal();
    ~SndfileDecoder() override;
    SndfileDecoder(const SndfileDecoder&) = delete;
    SndfileDecoder& operator=(const SndfileDecoder&) = delete;

    int Channels() const override { return info_.channels > 1 ? 2 : 1; }
    int Rate() const override { return info_.samplerate; }
    size_t Read(float* out, size_t frames) override;
    void Rewind() override;

    // Frames the file declares; 0 when it does not say (a stream cut before its last page).
    sf_count_t Frames() const;
    // Decodes the whole file from the start; false (a refusal, not logged) when it ends early or is
    // empty.
    bool ReadAll(std::vector<float>& samples);

private:
    // The file bytes as libsndfile's virtual I/O sees them.
    struct Memory {
        const uint8_t* data;
        sf_count_t size;
        sf_count_t position;
    };

    SndfileDecoder() = default;
    static void Refuse(const char* format, ...) __attribute__((format(printf, 1, 2)));
    bool DataIsCut() const;
    static SF_VIRTUAL_IO& VirtualIo();
    size_t ReadFolded(float* out, size_t frames);
    void LogFailureOnce(const char* what);

    Memory memory_{};
    SF_INFO info_{};
    SNDFILE* file_ = nullptr;
    std::unique_ptr<ChannelFold> fold_; // for more than two channels
    std::vector<float> wide_;           // frames of more than two channels before folding
    bool failureLogged_ = false;
};

} // namespace tqaudio
