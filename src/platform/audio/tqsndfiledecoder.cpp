#include "platform/audio/tqsndfiledecoder.h"

#include "platform/audio/tqaudiolog.h"
#include "platform/audio/tqresampleworkspace.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>

namespace tqaudio {

namespace {

// Static TLS: the module is loaded at run time, and the leak checker cannot scan dynamic TLS blocks.
__attribute__((tls_model("initial-exec"))) thread_local char t_refusal[256];

// What libsndfile says of data it cannot open: its words where they speak of the data, and ours
// where they speak of a file on disk, which data in memory is not (a short MP3 "does not exist").
const char* OpenFailure() {
    switch (sf_error(nullptr)) {
    case SF_ERR_UNRECOGNISED_FORMAT:
    case SF_ERR_MALFORMED_FILE:
    case SF_ERR_UNSUPPORTED_ENCODING:
        return sf_strerror(nullptr);
    default:
        return "damaged or cut short";
    }
}

// NaN becomes silence and everything else is held within full scale, so no value a file holds
// can make the mix it joins non-finite.
void MakeFinite(float* values, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        const float value = values[i];
        values[i] = value == value ? std::clamp(value, -1.0f, 1.0f) : 0.0f;
    }
}

} // namespace

const char* SndfileDecoder::Refusal() {
    return t_refusal;
}

void SndfileDecoder::Refuse(const char* format, ...) {
    char reason[200];
    va_list args;
    va_start(args, format);
    vsnprintf(reason, sizeof(reason), format, args);
    va_end(args);
    snprintf(t_refusal, sizeof(t_refusal), "not a readable sound file (%s)", reason);
}

SF_VIRTUAL_IO& SndfileDecoder::VirtualIo() {
    static SF_VIRTUAL_IO io = {
        [](void* cursor) { return static_cast<FileMemory::Cursor*>(cursor)->Size(); },
        [](sf_count_t offset, int whence, void* cursor) {
            return static_cast<FileMemory::Cursor*>(cursor)->Seek(offset, whence);
        },
        [](void* out, sf_count_t count, void* cursor) {
            return static_cast<FileMemory::Cursor*>(cursor)->Read(out, count);
        },
        [](const void*, sf_count_t, void*) -> sf_count_t { return 0; },
        [](void* cursor) { return static_cast<FileMemory::Cursor*>(cursor)->Position(); },
    };
    return io;
}

std::unique_ptr<SndfileDecoder> SndfileDecoder::Open(const void* data, size_t size) {
    t_refusal[0] = '\0';
    std::unique_ptr<SndfileDecoder> decoder(new SndfileDecoder(data, size));
    if (!decoder->OpenFile()) {
        Refuse("%s", OpenFailure());
        return nullptr;
    }
    if (decoder->info_.channels < 1) {
        Refuse("no channels");
        return nullptr;
    }
    if (decoder->info_.samplerate < kMinRate || decoder->info_.samplerate > kMaxRate) {
        Refuse("a rate of %d Hz, not %d to %d", decoder->info_.samplerate, kMinRate, kMaxRate);
        return nullptr;
    }
    if (decoder->DataIsCut()) {
        Refuse("cut short");
        return nullptr;
    }
    if ((decoder->info_.format & SF_FORMAT_TYPEMASK) == SF_FORMAT_MPEG) {
        decoder->mp3_ = Mp3Reader::Open(decoder->memory_, decoder->info_.samplerate, decoder->Channels());
    }
    if (decoder->info_.channels > 2) {
        decoder->fold_ = std::make_unique<ChannelFold>(ChannelFold::ForFile(decoder->file_, decoder->info_));
        // Room for the most frames a mix reads at once, so reading while it plays never allocates.
        decoder->wide_.assign(ResampleWorkspace::kPlaneFrames * decoder->info_.channels, 0.0f);
    }
    return decoder;
}

// libsndfile reads what there is of a WAV or AIFF file whose data chunk runs past its end, and
// notes the declared and the real chunk length in its log ("data : 8000 (should be 3978)").
bool SndfileDecoder::DataIsCut() const {
    char log[2048] = {};
    sf_command(file_, SFC_GET_LOG_INFO, log, sizeof(log) - 1);
    const char* line = strstr(log, "\ndata : ");
    long long declared = 0, real = 0;
    return line && sscanf(line, "\ndata : %lld (should be %lld)", &declared, &real) == 2 && real < declared;
}

// libsndfile declares SF_COUNT_MAX for a stream it cannot measure; no file holds 2^48 frames (400,000
// hours at 192 kHz), and a length below that stays exact in bytes.
int64_t SndfileDecoder::Frames() const {
    constexpr sf_count_t kMostFrames = sf_count_t(1) << 48;
    return info_.frames > 0 && info_.frames < kMostFrames ? info_.frames : 0;
}

const char* SndfileDecoder::FormatName() const {
    switch (info_.format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
        return "WAV";
    case SF_FORMAT_FLAC:
        return "FLAC";
    case SF_FORMAT_OGG:
        return "OGG";
    case SF_FORMAT_MPEG:
        return "MP3";
    default:
        return "sound file";
    }
}

SndfileDecoder::~SndfileDecoder() {
    if (file_) {
        sf_close(file_);
    }
}

bool SndfileDecoder::OpenFile() {
    if (file_) {
        sf_close(file_);
    }
    cursor_.Seek(0, SEEK_SET);
    file_ = sf_open_virtual(&VirtualIo(), SFM_READ, &info_, &cursor_);
    return file_ != nullptr;
}

void SndfileDecoder::Detach() {
    memory_.Detach();
}

size_t SndfileDecoder::Read(float* out, size_t frames) {
    if (!file_ || (BrokeOff() && !Resync())) {
        return 0;
    }
    const size_t count = info_.channels <= 2 ? ReadFile(out, frames) : ReadFolded(out, frames);
    MakeFinite(out, count * Channels());
    position_ += static_cast<sf_count_t>(count);
    const bool failed = mp3_ ? mp3_->Failed() : sf_error(file_) != SF_ERR_NO_ERROR;
    if (count < frames && failed && !memory_.Detached()) { // a detached file just ends
        brokeAt_ = position_;
    }
    return count;
}

size_t SndfileDecoder::ReadFile(float* out, size_t frames) {
    if (mp3_) {
        return mp3_->Read(out, frames);
    }
    const sf_count_t n = sf_readf_float(file_, out, static_cast<sf_count_t>(frames));
    return n > 0 ? static_cast<size_t>(n) : 0;
}

// Tries further and further on, from a twentieth of a second past the damage; libsndfile's FLAC
// decoder cannot seek once it lost its sync, so the file is opened afresh for each try.
bool SndfileDecoder::Resync() {
    constexpr int kTries = 16;
    const sf_count_t from = brokeAt_;
    brokeAt_ = -1;
    sf_count_t ahead = std::max(1, info_.samplerate / 20);
    for (int i = 0; i < kTries && (Frames() == 0 || from + ahead < Frames()); ++i, ahead *= 2) {
        const sf_count_t to = from + ahead;
        if (SeekTo(to)) {
            position_ = to;
            LogFailureOnce("damaged data at %.2f s: skipped to %.2f s", from, to);
            return true;
        }
        if (!file_) {
            break;
        }
    }
    LogFailureOnce("damaged data at %.2f s: the rest is lost", from, from);
    return false;
}

// Reads run many times a second: a failure that lasts is said once.
void SndfileDecoder::LogFailureOnce(const char* format, sf_count_t from, sf_count_t to) {
    if (!failureLogged_) {
        failureLogged_ = true;
        char what[160];
        snprintf(what, sizeof(what), format, static_cast<double>(from) / info_.samplerate,
                 static_cast<double>(to) / info_.samplerate);
        LogMessage("%s: %s", label_.c_str(), what);
    }
}

size_t SndfileDecoder::ReadFolded(float* out, size_t frames) {
    wide_.resize(frames * info_.channels);
    const sf_count_t n = sf_readf_float(file_, wide_.data(), static_cast<sf_count_t>(frames));
    const size_t count = n > 0 ? static_cast<size_t>(n) : 0;
    fold_->Apply(wide_.data(), out, count);
    return count;
}

void SndfileDecoder::Rewind() {
    brokeAt_ = -1;
    position_ = 0;
    SeekTo(0);
}

bool SndfileDecoder::SeekTo(sf_count_t frame) {
    if (mp3_) {
        return mp3_->Seek(frame);
    }
    return (file_ && sf_seek(file_, frame, SEEK_SET) == frame) ||
           (OpenFile() && sf_seek(file_, frame, SEEK_SET) == frame);
}

// The buffer grows with what really decodes, so a header that claims a huge length costs nothing.
bool SndfileDecoder::ReadAll(std::vector<float>& samples) {
    constexpr size_t kChunkFrames = 65536;
    constexpr sf_count_t kMaxFrames = sf_count_t(1) << 28;
    failureLogged_ = true; // a failure here is a refusal, which the caller says
    Rewind();
    if (Frames() == 0) {
        Refuse("no length declared");
        return false;
    }
    if (Frames() > kMaxFrames) {
        Refuse("declares %lld frames", static_cast<long long>(Frames()));
        return false;
    }
    const size_t frames = static_cast<size_t>(Frames());
    const size_t channels = static_cast<size_t>(Channels());
    samples.clear();
    size_t got = 0;
    try {
        while (got < frames) {
            samples.resize((got + std::min(kChunkFrames, frames - got)) * channels);
            size_t n = Read(samples.data() + got * channels, samples.size() / channels - got);
            got += n;
            if (n == 0 || BrokeOff()) { // damaged data refuses a sample
                break;
            }
        }
    } catch (const std::bad_alloc&) {
        Refuse("no memory to decode %zu frames", frames);
        return false;
    }
    if (got < frames) {
        Refuse("ends after %zu of %zu frames", got, frames);
        return false;
    }
    return true;
}

} // namespace tqaudio
