// An intrusive list of voices: each voice carries the links of every list it can be in, so adding
// and removing take constant time and never allocate (the mixing thread uses it too). A list owns
// its links, so it moves but is never copied.
#pragma once

#include <cstddef>
#include <utility>

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
    VoiceList() = default;
    VoiceList(VoiceList&& other) noexcept : first_(other.first_), last_(other.last_) {
        other.first_ = other.last_ = nullptr;
    }
    VoiceList& operator=(VoiceList&& other) noexcept {
        std::swap(first_, other.first_);
        std::swap(last_, other.last_);
        return *this;
    }
    VoiceList(const VoiceList&) = delete;
    VoiceList& operator=(const VoiceList&) = delete;

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

    // Every voice, as a list of its own; this one is left empty.
    VoiceList TakeAll() { return std::move(*this); }

    // Takes every voice out of the list.
    void Reset() {
        while (PopFront()) {
        }
    }

private:
    Voice* first_ = nullptr;
    Voice* last_ = nullptr;
};

} // namespace tqaudio
