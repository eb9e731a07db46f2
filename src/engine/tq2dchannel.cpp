#include "engine/tq2dchannel.h"

#include "containers/tqcompare.h"
#include "engine/tq2dglobal.h"

#include <algorithm>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DChannel)

TQGfxDevice* TQ2DChannel::ChannelDevice() const {
    return m_dwChannel && m_dwSerial == g_dwTQ2DEngineSerial ? g_pTQ2DDevice : nullptr;
}

void TQ2DChannel::SetPlaying(DWORD channel) {
    m_dwChannel = channel;
    m_dwSerial = g_dwTQ2DEngineSerial;
}

void TQ2DChannel::SetVolume(int volume) {
    m_nVolume = std::clamp(volume, 0, 100);
    if (TQGfxDevice* device = ChannelDevice())
        device->Channel_SetVolume(m_dwChannel, m_nVolume);
}

void TQ2DChannel::SetPanning(int panning) {
    m_nPanning = std::clamp(panning, -100, 100);
    if (TQGfxDevice* device = ChannelDevice())
        device->Channel_SetPanning(m_dwChannel, m_nPanning);
}

void TQ2DChannel::SetPitch(float pitch) {
    if (!(pitch > 0.0f))
        return;
    m_fPitch = pitch;
    if (TQGfxDevice* device = ChannelDevice())
        device->Channel_SetPitch(m_dwChannel, m_fPitch);
}

DWORD& TQ2DChannel::operator=(unsigned long& channel) {
    SetPlaying(static_cast<DWORD>(channel));
    return m_dwChannel;
}

void TQ2DChannel::Pause() {
    if (TQGfxDevice* device = ChannelDevice())
        device->Channel_Pause(m_dwChannel);
}

void TQ2DChannel::Resume() {
    if (TQGfxDevice* device = ChannelDevice())
        device->Channel_Resume(m_dwChannel);
}

void TQ2DChannel::Stop() {
    if (TQGfxDevice* device = ChannelDevice())
        device->Channel_Stop(m_dwChannel);
    m_dwChannel = 0;
}

void TQ2DChannel::StopAll() {
    if (!m_dwChannel)
        return;
    if (TQGfxDevice* device = ChannelDevice())
        device->Channel_StopAll();
    m_dwChannel = 0;
}

bool TQ2DChannel::IsPlaying() const {
    TQGfxDevice* device = ChannelDevice();
    return device && device->Channel_IsPlaying(m_dwChannel);
}

int TQ2DChannel::operator-(TQ2DChannel& other) const {
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(&other));
}

int TQ2DChannel::operator-(void* other) const {
    return other ? TQCompare(static_cast<const void*>(this), static_cast<const void*>(other)) : -1;
}
