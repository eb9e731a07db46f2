/// @file
/// Engine-wide globals shared by the engine's source files (not part of the host's interface).
#pragma once

#include "device/tqgfxdevice.h"

/// The engine's one device reference: set by TQ2DInit, cleared by TQ2DClose. Media objects do
/// nothing while it is NULL.
extern TQGfxDevice* g_pTQ2DDevice;

/// Counts the start-ups that obtained a device. Device handles are only valid for the start-up that
/// made them: a later device hands out the same numbers for its own objects.
extern DWORD g_dwTQ2DEngineSerial;

/// Nonzero: sound objects start no playback (TQ2DSoundMute).
extern int g_bSoundMute;
