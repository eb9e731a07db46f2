// A headless window with a procedure that records the messages it gets, and helpers that feed
// synthetic SDL events and pump the queue as a program's loop does.
#pragma once

#include "platform/win32/tqwindows.h"

#include <SDL_events.h>
#include <gtest/gtest.h>

#include <vector>

struct Recorded {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates a window of the recording class (style and client size as given).
    HWND Create(DWORD style, int width = 200, int height = 100, HWND parent = nullptr, DWORD exStyle = 0);
    // Translates and dispatches everything queued; true when WM_QUIT came.
    bool Pump();
    // The recorded messages with ids in the list, in order.
    std::vector<Recorded> Only(std::vector<UINT> messages) const;
    std::vector<UINT> Ids(std::vector<UINT> messages) const;

    void Key(SDL_Scancode scancode, bool down, Uint16 modifiers = 0, bool repeat = false);
    void Text(const char* utf8);
    void Editing(const char* utf8);
    void Motion(int x, int y);
    void Button(Uint8 button, bool down, Uint8 clicks);
    void Wheel(int notches);
    void WindowEvent(Uint8 event, int data1 = 0, int data2 = 0);

    HWND window = nullptr;
    static std::vector<Recorded> s_recorded;
    static LRESULT (*s_override)(HWND, UINT, WPARAM, LPARAM, bool* handled);
    static LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void Feed(SDL_Event& event);
};
