// TQ2DChannel: the playing parameters of one playback (volume, panning, pitch, loop mode) and the
// device channel it plays on. The base of TQ2DSound and TQ2DMusic. A channel is only ever set while
// the engine has a device.
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "platform/win32/tqwintypes.h"

class TQGfxDevice;

class TQ2DChannel {
public:
    TQ2DChannel() = default;
    TQ2DChannel(const TQ2DChannel&) = default;
    TQ2DChannel& operator=(const TQ2DChannel&) = default;
    virtual ~TQ2DChannel() = default;

    // Clamped to 0..100; applied to a playing channel.
    void SetVolume(int volume);
    int GetVolume() const { return m_nVolume; }
    // Clamped to -100 (left)..100 (right); applied to a playing channel.
    void SetPanning(int panning);
    int GetPanning() const { return m_nPanning; }
    // A factor on the sound's own rate, not clamped; applied to a playing channel.
    void SetPitch(float pitch);
    float GetPitch() const { return m_fPitch; }
    // Takes effect at the next Play.
    void SetLoopMode(bool loop) { m_bLoop = loop; }
    bool GetLoopMode() const { return m_bLoop; }

    void SetChannel(unsigned long& channel) { SetPlaying(static_cast<DWORD>(channel)); }
    unsigned long GetChannel() const { return m_dwChannel; }
    operator unsigned long() const { return m_dwChannel; }
    DWORD& operator=(unsigned long& channel);

    void Pause();
    void Resume();
    // Stops this playback; the channel becomes 0.
    void Stop();
    // With a channel set: stops every channel of the device, and this channel becomes 0.
    void StopAll();
    // False without a channel.
    bool IsPlaying() const;

    int operator-(TQ2DChannel& other) const;
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DChannel)

protected:
    // Stores the channel of a new playback on the running engine.
    void SetPlaying(DWORD channel);

    int m_nVolume = 100;
    int m_nPanning = 0;
    float m_fPitch = 1.0f;
    bool m_bLoop = false;
    DWORD m_dwChannel = 0;

private:
    // The device to reach the channel through: NULL without a channel, or when the channel
    // belongs to an engine closed since (a later device numbers its own channels alike).
    TQGfxDevice* ChannelDevice() const;

    DWORD m_dwSerial = 0; // the engine start-up the channel plays on
};
