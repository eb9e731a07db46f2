// An intrusive list of voices: each voice carries the links of every list it can be in, so adding
// and removing take constant time and never allocate (the mixing thread uses it too).
#pragma once

#include <cstddef>

namespace tqaudio {

class Voice;

// The links of one voice in one list.
struct VoiceLink {
    Voice* previous = nullptr;
    Voice* next = nullptr;
    bool linked = false;
};

// A list over the links at `Member` of each voice.
template <VoiceLink Voice::*Member> class VoiceList {
public:
    bool Empty() const { return first_ == nullptr; }
    Voice* First() const { return first_; }
    static Voice* Next(Voice* voice) { return (voice->*Member).next; }
    static bool Contains(const Voice* voice) { return (voice->*Member).linked; }

    void PushBack(Voice* voice) {
        VoiceLink& link = voice->*Member;
        link.previous = last_;
        link.next = nullptr;
        link.linked = true;
        (last_ ? (last_->*Member).next : first_) = voice;
        last_ = voice;
    }

    void Remove(Voice* voice) {
        VoiceLink& link = voice->*Member;
        (link.previous ? (link.previous->*Member).next : first_) = link.next;
        (link.next ? (link.next->*Member).previous : last_) = link.previous;
        link = VoiceLink{};
    }

    // The first voice, taken out of the list; NULL when empty.
    Voice* PopFront() {
        Voice* voice = first_;
        if (voice) {
            Remove(voice);
        }
        return voice;
    }

    // Forgets every voice without touching them (they are gone or no longer listed).
    void Reset() { first_ = last_ = nullptr; }

private:
    Voice* first_ = nullptr;
    Voice* last_ = nullptr;
};

} // namespace tqaudio
