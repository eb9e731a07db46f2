/// @file
/// Basic types of the platform interface, shared by every layer.
///
/// DWORD, UINT, LONG and BOOL are 32-bit as on the platform; WPARAM, LPARAM, LRESULT and every
/// handle that holds an address are pointer-sized, as on its 64-bit variant. Handles are distinct
/// opaque pointer types so that one kind cannot be passed where another is expected.
/// This reference leaves the declarations out: names, values and meanings are as on the platform.
#pragma once

#include <cstddef>
#include <cstdint>

/// @cond PLATFORM_DECLARATIONS
typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t BOOL;
typedef int32_t INT;
typedef uint32_t UINT;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef float FLOAT;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef int32_t HRESULT;

typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

typedef void* LPVOID;
typedef const void* LPCVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef BYTE* LPBYTE;
typedef DWORD* LPDWORD;
typedef LONG* LPLONG;

#define TQ_DECLARE_HANDLE(name)                                                                          \
    struct name##__ {                                                                                    \
        int unused;                                                                                      \
    };                                                                                                   \
    typedef struct name##__* name

typedef void* HANDLE;
TQ_DECLARE_HANDLE(HWND);
TQ_DECLARE_HANDLE(HINSTANCE);
TQ_DECLARE_HANDLE(HICON);
TQ_DECLARE_HANDLE(HCURSOR);
TQ_DECLARE_HANDLE(HBRUSH);
TQ_DECLARE_HANDLE(HFONT);
TQ_DECLARE_HANDLE(HDC);
TQ_DECLARE_HANDLE(HBITMAP);
TQ_DECLARE_HANDLE(HIMC);
TQ_DECLARE_HANDLE(HIMCC);
TQ_DECLARE_HANDLE(HMENU);
typedef HINSTANCE HMODULE;
typedef void* HGDIOBJ;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

#define WINAPI
#define CALLBACK
#define APIENTRY

typedef LRESULT(CALLBACK* WNDPROC)(HWND, UINT, WPARAM, LPARAM);
typedef INT_PTR(WINAPI* FARPROC)();

typedef DWORD COLORREF;
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define MAKELONG(a, b) ((LONG)(((WORD)(((DWORD_PTR)(a)) & 0xffff)) | ((DWORD)((WORD)(((DWORD_PTR)(b)) & 0xffff))) << 16))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define GET_X_LPARAM(lp) ((int)(short)LOWORD(lp))
#define GET_Y_LPARAM(lp) ((int)(short)HIWORD(lp))

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)

struct POINT {
    LONG x;
    LONG y;
};
typedef POINT* LPPOINT;

struct SIZE {
    LONG cx;
    LONG cy;
};
typedef SIZE* LPSIZE;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;

static_assert(sizeof(DWORD) == 4 && sizeof(BOOL) == 4 && sizeof(LONG) == 4 && sizeof(UINT) == 4,
              "32-bit integer types");
static_assert(sizeof(WPARAM) == sizeof(void*) && sizeof(LPARAM) == sizeof(void*) &&
                  sizeof(HWND) == sizeof(void*),
              "pointer-sized message parameters and handles");
/// @endcond
