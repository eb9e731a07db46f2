// Mixes the playing channels into interleaved stereo floats, clamped to -1..1, with the group
// volumes of samples and music on top of each channel's own volume (streams have none).
//
// The game side (every call but Sync and Render, serialised by the caller's lock) hands each
// changed channel's controls to its voice and lists the voice as changed; a freed channel's voice
// stays with the mixer as released until it has faded out. The mixing thread, at the start of a
// pass and under the same lock (Sync), takes the changed voices' controls and the voices that
// start playing, and gives back the released voices that finished; then it mixes without the lock
// (Render). All the lists are intrusive, so neither side allocates for them and each change costs
// the same however many voices there are; finished voices are destroyed on the game side.
#pragma once

#include "platform/audio/tqchannel.h"
#include "platform/audio/tqresampleworkspace.h"
#include "platform/audio/tqvoicelist.h"

#include <vector>

namespace tqaudio {

class Mixer {
public:
    using OwnedVoices = VoiceList<&Voice::owned>;

    ~Mixer();

    // The mix rate, before any channel is added.
    void SetRate(double rate);
    // The channel takes part in the mix until Release (it mixes only while playing).
    void Add(Channel* channel);
    // Hands the channel's controls to its voice at the next pass.
    void Touch(Channel* channel);
    // Takes the channel out of the mix before it is destroyed: its voice fades out and finishes on
    // its own. A stream's decoder, which reads the caller's memory, stops reading it at once (the
    // voice fades out from what was decoded ahead). The voice of
    // a channel that never played stays with the channel, to be destroyed with it.
    void Release(Channel* channel);
    // Destroys every released voice and forgets every channel; the group volumes stay. Only while
    // no pass runs.
    void Clear();
    // Stops every channel, fading out.
    void StopAll();
    void SetSampleVolume(int volume);
    void SetStreamVolume(int volume);
    void SetMusicVolume(int volume);

    // Whether finished voices wait to be destroyed.
    bool HasFinished() const { return !finished_.Empty(); }
    // Takes them, to be destroyed (DestroyAll) outside the caller's lock.
    OwnedVoices TakeFinished();
    static void DestroyAll(OwnedVoices voices);

    // Mixing thread, under the caller's lock: takes the changes since the last pass. Only links
    // and copies.
    void Sync();
    // Mixing thread, without a lock: writes `frames` frames at `rate` Hz of the voices taken so far.
    void Render(float* out, size_t frames, double rate);

private:
    static constexpr size_t kBlockFrames = ResampleWorkspace::kMaxOutputFrames;

    void RenderBlock(float* out, size_t frames, double rate);
    void DropSilentVoices();
    float GroupGain(const Channel& channel) const;
    void MarkChanged(Voice& voice);
    void Finish(Voice* voice);
    void TouchKind(Channel::Kind kind);

    // Game side.
    std::vector<Channel*> channels_;
    OwnedVoices released_; // fading out without a channel
    OwnedVoices finished_; // done, waiting to be destroyed
    VoiceList<&Voice::dirty> changed_;
    int fadeFrames_ = 1;
    int sampleVolume_ = 100;
    int streamVolume_ = 100;
    int musicVolume_ = 100;

    // Mixing thread.
    VoiceList<&Voice::mixing> mixing_;
    VoiceList<&Voice::mixing> done_; // released voices that finished, until the next Sync
    std::vector<float> scratch_ = std::vector<float>(2 * kBlockFrames);
    ResampleWorkspace work_;
};

} // namespace tqaudio
