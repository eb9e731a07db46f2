// Decodes a WAV, OGG, FLAC or MP3 file held in memory with libsndfile. The memory is not copied
// and must outlive the decoder, or be detached from it first. Files of more than two channels are
// folded down to stereo by their channel layout. Every value read is finite and within full scale
// (a float file may hold anything). Why a file was refused is kept for the caller to say with the
// file's name (Refusal), not logged here.
//
// A read that meets damaged data (a lost sync, a bad frame) returns what came before it and says
// so (BrokeOff); the next read looks for good data further on, reopening the file when libsndfile
// cannot move on from the damage, and goes on from there, or ends. One line, with the label the
// owner gave, says what was lost. MP3 frames are read with a quiet libmpg123 of our own, as the one
// libsndfile sets up writes lines of its own on damaged data.
#pragma once

#include "platform/audio/tqaudiosource.h"
#include "platform/audio/tqchannelfold.h"
#include "platform/audio/tqfilememory.h"
#include "platform/audio/tqmp3reader.h"

#include <sndfile.h>

#include <cstdint>
#include <memory>
#include <string>
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
    void Detach() override;
    bool BrokeOff() const override { return brokeAt_ >= 0; }

    // Frames the file declares; 0 when it does not say (a stream cut before its last page).
    int64_t Frames() const override;
    // "WAV", "FLAC", "OGG", "MP3" or "sound file".
    const char* FormatName() const;
    // How the decoder's log lines name the file.
    void SetLabel(std::string label) { label_ = std::move(label); }
    // Decodes the whole file from the start; false (a refusal, not logged) when it ends early or is
    // empty.
    bool ReadAll(std::vector<float>& samples);

private:
    SndfileDecoder(const void* data, size_t size)
        : memory_(data, static_cast<int64_t>(size)), cursor_(memory_) {}
    static void Refuse(const char* format, ...) __attribute__((format(printf, 1, 2)));
    bool DataIsCut() const;
    static SF_VIRTUAL_IO& VirtualIo();
    // Opens the file from its start; false when libsndfile cannot.
    bool OpenFile();
    size_t ReadFile(float* out, size_t frames);
    size_t ReadFolded(float* out, size_t frames);
    // Moves to `frame`, opening the file afresh when libsndfile cannot; false when it cannot.
    bool SeekTo(sf_count_t frame);
    // Moves past damaged data to where frames decode again; false when none do before the end.
    bool Resync();
    // One line for the decoder's first failure: `format` with the two positions in seconds.
    void LogFailureOnce(const char* format, sf_count_t from, sf_count_t to);

    FileMemory memory_;
    FileMemory::Cursor cursor_; // libsndfile's
    std::unique_ptr<Mp3Reader> mp3_;
    SF_INFO info_{};
    SNDFILE* file_ = nullptr;
    std::unique_ptr<ChannelFold> fold_; // for more than two channels
    std::vector<float> wide_;           // frames of more than two channels before folding
    bool failureLogged_ = false;
    std::string label_ = "sound file";
    sf_count_t position_ = 0; // frames read since the start
    sf_count_t brokeAt_ = -1; // where damaged data stopped the last read
};

} // namespace tqaudio
