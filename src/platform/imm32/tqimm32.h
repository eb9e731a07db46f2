/// @file
/// IMM32: the input-method context and its composition string.
///
/// Every window shares one input context, as windows of a thread do by default, until it is taken
/// from a window (ImmAssociateContextEx). The composition
/// comes from the video backend (tqplat::VideoCompositionText) as GBK bytes. ImmLockIMC,
/// ImmUnlockIMC, ImmLockIMCC and ImmUnlockIMCC are also reachable through
/// LoadLibraryA("imm32.dll") and GetProcAddress.
/// This reference leaves the declarations out: names, values and meanings are as on the platform.
#pragma once

#include "platform/gdi32/tqgdi32.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/tqwintypes.h"

/// @cond PLATFORM_DECLARATIONS
// ImmGetCompositionStringA failures.
#define IMM_ERROR_NODATA (-1)
#define IMM_ERROR_GENERAL (-2)

// ImmAssociateContextEx flags.
#define IACE_CHILDREN 0x0001
#define IACE_DEFAULT 0x0010
#define IACE_IGNORENOCONTEXT 0x0020

// CANDIDATEFORM styles.
#define CFS_CANDIDATEPOS 0x0040
#define CFS_EXCLUDE 0x0080

struct COMPOSITIONFORM {
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};

struct CANDIDATEFORM {
    DWORD dwIndex;
    DWORD dwStyle;
    POINT ptCurrentPos;
    RECT rcArea;
};

// The composition-string block behind INPUTCONTEXT::hCompStr: this header, then the data it
// points to by byte offsets from the header's start. Lengths are in bytes (GBK).
struct COMPOSITIONSTRING {
    DWORD dwSize;
    DWORD dwCompReadAttrLen;
    DWORD dwCompReadAttrOffset;
    DWORD dwCompReadClauseLen;
    DWORD dwCompReadClauseOffset;
    DWORD dwCompReadStrLen;
    DWORD dwCompReadStrOffset;
    DWORD dwCompAttrLen;
    DWORD dwCompAttrOffset;
    DWORD dwCompClauseLen;
    DWORD dwCompClauseOffset;
    DWORD dwCompStrLen;
    DWORD dwCompStrOffset;
    DWORD dwCursorPos;
    DWORD dwDeltaStart;
    DWORD dwResultReadClauseLen;
    DWORD dwResultReadClauseOffset;
    DWORD dwResultReadStrLen;
    DWORD dwResultReadStrOffset;
    DWORD dwResultClauseLen;
    DWORD dwResultClauseOffset;
    DWORD dwResultStrLen;
    DWORD dwResultStrOffset;
    DWORD dwPrivateSize;
    DWORD dwPrivateOffset;
};

// The input context record that ImmLockIMC gives access to.
struct INPUTCONTEXT {
    HWND hWnd; // the window that last asked for the context
    BOOL fOpen;
    POINT ptStatusWndPos;
    POINT ptSoftKbdPos;
    DWORD fdwConversion;
    DWORD fdwSentence;
    union {
        LOGFONTA A;
        BYTE W[92]; // the wide-character variant of the record, not used here
    } lfFont;
    COMPOSITIONFORM cfCompForm;
    CANDIDATEFORM cfCandForm[4];
    HIMCC hCompStr; // a COMPOSITIONSTRING block
    HIMCC hCandInfo;
    HIMCC hGuideLine;
    HIMCC hPrivate;
    DWORD dwNumMsgBuf;
    HIMCC hMsgBuf;
    DWORD fdwInit;
    DWORD dwReserve[3];
};
typedef INPUTCONTEXT* LPINPUTCONTEXT;

// The input context of a window; NULL when there is no such window or the window has none.
HIMC ImmGetContext(HWND hWnd);
// Gives a window the input context (IACE_DEFAULT, or hIMC the context) or takes it away (hIMC
// NULL, no flags): a window without one takes no text input, and its keys never reach the input
// method. Windows have it until it is taken. IACE_CHILDREN acts on the window itself only.
BOOL ImmAssociateContextEx(HWND hWnd, HIMC hIMC, DWORD dwFlags);
// Where the candidate window goes (dwIndex 0..3): CFS_EXCLUDE keeps it clear of rcArea,
// CFS_CANDIDATEPOS puts it at ptCurrentPos; client coordinates of the context's window.
BOOL ImmSetCandidateWindow(HIMC hIMC, CANDIDATEFORM* lpCandidate);
BOOL ImmReleaseContext(HWND hWnd, HIMC hIMC);
// GCS_COMPSTR: copies the composition's GBK bytes without a terminator, cut to dwBufLen at a
// character boundary, and returns the bytes copied; with dwBufLen 0 returns the bytes needed.
// IMM_ERROR_GENERAL for another index, an unknown context or a NULL buffer with a length.
LONG ImmGetCompositionStringA(HIMC hIMC, DWORD dwIndex, LPVOID lpBuf, DWORD dwBufLen);

// The context record; its composition block is brought up to date while nothing holds it locked.
LPINPUTCONTEXT ImmLockIMC(HIMC hIMC);
// TRUE while locks remain on the context after this one is released.
BOOL ImmUnlockIMC(HIMC hIMC);
// A block of the context (hCompStr); unlocking returns TRUE while locks remain.
LPVOID ImmLockIMCC(HIMCC hIMCC);
BOOL ImmUnlockIMCC(HIMCC hIMCC);
/// @endcond
