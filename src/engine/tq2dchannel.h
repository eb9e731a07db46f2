/// @class TQ2DChannel
/// TQ2DChannel: the playing parameters of one playback (volume, panning, pitch, loop mode) and the
/// device channel it plays on. The base of TQ2DSound and TQ2DMusic. A channel is only ever set while
/// the engine has a device.
#pragma once

#include "containers/tqmemorypooltmpl.h"
#include "platform/win32/tqwintypes.h"

class TQGfxDevice;

class TQ2DChannel {
public:
    TQ2DChannel() = default;
    /// Copies the parameters and the channel.
    TQ2DChannel(const TQ2DChannel&) = default;
    /// Copies the parameters and the channel.
    TQ2DChannel& operator=(const TQ2DChannel&) = default;
    virtual ~TQ2DChannel() = default;

    /// Clamped to 0..100; applied to a playing channel.
    void SetVolume(int volume);
    /// Volume 0..100.
    int GetVolume() const { return m_nVolume; }
    /// Clamped to -100 (left)..100 (right); applied to a playing channel.
    void SetPanning(int panning);
    /// Panning -100..100.
    int GetPanning() const { return m_nPanning; }
    /// A factor on the sound's own rate, not clamped; applied to a playing channel. A factor that is
    /// not above 0 (zero, negative, NaN) is ignored.
    void SetPitch(float pitch);
    /// Pitch factor.
    float GetPitch() const { return m_fPitch; }
    /// Takes effect at the next Play.
    void SetLoopMode(bool loop) { m_bLoop = loop; }
    /// True: playback loops.
    bool GetLoopMode() const { return m_bLoop; }

    /// Sets the channel of a playback the caller started on the running engine.
    void SetChannel(unsigned long& channel) { SetPlaying(static_cast<DWORD>(channel)); }
    /// The device channel, 0 when none.
    unsigned long GetChannel() const { return m_dwChannel; }
    /// The device channel, 0 when none.
    operator unsigned long() const { return m_dwChannel; }
    /// Same as SetChannel; returns the stored channel.
    DWORD& operator=(unsigned long& channel);

    /// Pauses this playback.
    void Pause();
    /// Resumes a paused playback.
    void Resume();
    /// Stops this playback; the channel becomes 0.
    void Stop();
    /// With a channel set: stops every channel of the device, and this channel becomes 0.
    void StopAll();
    /// False without a channel.
    bool IsPlaying() const;

    /// Order by address: the sign of this object against other.
    int operator-(TQ2DChannel& other) const;
    /// Order by address; -1 for NULL.
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DChannel)

protected:
    /// Stores the channel of a new playback on the running engine.
    void SetPlaying(DWORD channel);

    /// Volume 0..100.
    int m_nVolume = 100;
    /// Panning -100..100.
    int m_nPanning = 0;
    /// Pitch factor.
    float m_fPitch = 1.0f;
    /// Loop flag.
    bool m_bLoop = false;
    /// The device channel, 0 when none.
    DWORD m_dwChannel = 0;

private:
    // The device to reach the channel through: NULL without a channel, or when the channel
    // belongs to an engine closed since (a later device numbers its own channels alike).
    TQGfxDevice* ChannelDevice() const;

    DWORD m_dwSerial = 0; // the engine start-up the channel plays on
};
