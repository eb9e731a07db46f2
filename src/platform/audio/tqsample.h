// A loaded sample: its decoded data, its defaults and the handles of its playbacks (at most
// `max` at a time).
#pragma once

#include "platform/audio/tqaudio.h"
#include "platform/audio/tqaudioobject.h"
#include "platform/audio/tqsampledata.h"

#include <memory>
#include <vector>

namespace tqaudio {

class Sample : public AudioObject {
public:
    Sample(std::shared_ptr<const SampleData> data, DWORD max, DWORD flags);

    const std::shared_ptr<const SampleData>& Data() const { return data_; }
    DWORD Max() const { return max_; }
    DWORD Flags() const { return flags_; }
    TQAudioSampleInfo Info() const;

    // Channel handles of the playbacks, oldest first; at most Max().
    std::vector<DWORD>& Playbacks() { return playbacks_; }

private:
    std::shared_ptr<const SampleData> data_;
    DWORD max_;
    DWORD flags_;
    std::vector<DWORD> playbacks_;
};

} // namespace tqaudio
