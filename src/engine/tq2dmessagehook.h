/// @file
/// The hook through which a layer built on the engine sees the device window's messages first.
///
/// The engine's window procedure offers every message of the device window to the registered
/// filter before the device's own procedure. The filter may change wParam and lParam; a nonzero
/// answer is returned at once and the device never sees the message. With no filter registered
/// every message goes straight to the device. The GUI toolkit registers its filter when it is first
/// given an input control.
#pragma once

#include "platform/win32/tqwintypes.h"

/// A message filter: nonzero ends the message there.
typedef LRESULT (*TQ2DMessageFilter)(HWND hwnd, UINT msg, WPARAM& wParam, LPARAM& lParam);

/// Makes filter the one that sees the messages first (NULL: none).
void TQ2DSetMessageFilter(TQ2DMessageFilter filter);
/// Offers the message to the registered filter: its answer, or 0 when none is registered.
LRESULT TQ2DFilterMessage(HWND hwnd, UINT msg, WPARAM& wParam, LPARAM& lParam);
