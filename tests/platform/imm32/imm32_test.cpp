// The input context: composition strings as the edit control reads them, and the four functions
// the engine binds by name from "imm32.dll".
#include "platform/imm32/tqimm32.h"
#include "platform/win32/tqkernel32.h"
#include "platform/win32/tquser32.h"
#include "platform/win32/video/tqvideo.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kChinese[] = "\xE4\xB8\xAD\xE6\x96\x87"; // two characters, UTF-8
const char kChineseGbk[] = "\xD6\xD0\xCE\xC4";

// The composition strings a window procedure read on WM_IME_COMPOSITION, as the edit control does.
std::string g_seen;

LRESULT CALLBACK ReadingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_IME_COMPOSITION && (lParam & GCS_COMPSTR)) {
        HIMC context = ImmGetContext(window);
        LONG n = ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 0);
        std::string text(static_cast<size_t>(n), '\0');
        ImmGetCompositionStringA(context, GCS_COMPSTR, &text[0], static_cast<DWORD>(n));
        ImmReleaseContext(window, context);
        g_seen += text + "|";
    }
    if (message == WM_IME_ENDCOMPOSITION)
        g_seen += "end|";
    return DefWindowProcA(window, message, wParam, lParam);
}

template <typename Function> Function ProcAs(FARPROC proc) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

class ImmTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("TQ_VIDEO", "headless", 1);
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = ReadingProc;
        wc.lpszClassName = "ImmTestWindow";
        RegisterClassExA(&wc);
        s_window =
            CreateWindowExA(0, "ImmTestWindow", "imm", 0, 0, 0, 64, 48, nullptr, nullptr, nullptr, nullptr);
    }
    static void TearDownTestSuite() { DestroyWindow(s_window); }
    void TearDown() override {
        tqplat::VideoSetCompositionText(s_window, "");
        Pump();
    }

    static void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    static HWND s_window;
};
HWND ImmTest::s_window = nullptr;

} // namespace

TEST_F(ImmTest, CompositionStringComesAsGbkBytes) {
    ASSERT_NE(s_window, nullptr);
    HIMC context = ImmGetContext(s_window);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(ImmGetContext(nullptr), nullptr);
    EXPECT_EQ(ImmGetContext(reinterpret_cast<HWND>(0x7777)), nullptr);
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 0), 0);

    tqplat::VideoSetCompositionText(s_window, (std::string(kChinese) + "ab").c_str());
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 0), 6);
    char buffer[10];
    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, buffer, sizeof(buffer)), 6);
    EXPECT_EQ(std::string(buffer, 7), std::string(kChineseGbk) + "ab#"); // no terminator
    // A short buffer is cut at a character boundary, never inside a double-byte character.
    memset(buffer, '#', sizeof(buffer));
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, buffer, 3), 2);
    EXPECT_EQ(std::string(buffer, 3), "\xD6\xD0#");

    EXPECT_EQ(ImmGetCompositionStringA(context, 0x0800, buffer, sizeof(buffer)), IMM_ERROR_GENERAL);
    EXPECT_EQ(ImmGetCompositionStringA(context, GCS_COMPSTR, nullptr, 4), IMM_ERROR_GENERAL);
    HIMC bogus = reinterpret_cast<HIMC>(reinterpret_cast<uintptr_t>(context) + 16);
    EXPECT_EQ(ImmGetCompositionStringA(bogus, GCS_COMPSTR, nullptr, 0), IMM_ERROR_GENERAL);
    EXPECT_TRUE(ImmReleaseContext(s_window, context));
    EXPECT_FALSE(ImmReleaseContext(s_window, bogus));
}

TEST_F(ImmTest, WindowReadsEachCompositionFromItsMessage) {
    ASSERT_NE(s_window, nullptr);
    g_seen.clear();
    tqplat::VideoSetCompositionText(s_window, "n");
    Pump();
    tqplat::VideoSetCompositionText(s_window, kChinese);
    Pump();
    tqplat::VideoSetCompositionText(s_window, "");
    Pump();
    EXPECT_EQ(g_seen, std::string("n|") + kChineseGbk + "|end|");
}

TEST_F(ImmTest, LockFunctionsAreFoundByNameInImm32Dll) {
    HMODULE module = LoadLibraryA("imm32.dll");
    ASSERT_NE(module, nullptr);
    auto lockIMC = ProcAs<LPINPUTCONTEXT (*)(HIMC)>(GetProcAddress(module, "ImmLockIMC"));
    auto unlockIMC = ProcAs<BOOL (*)(HIMC)>(GetProcAddress(module, "ImmUnlockIMC"));
    auto lockIMCC = ProcAs<LPVOID (*)(HIMCC)>(GetProcAddress(module, "ImmLockIMCC"));
    auto unlockIMCC = ProcAs<BOOL (*)(HIMCC)>(GetProcAddress(module, "ImmUnlockIMCC"));
    ASSERT_TRUE(lockIMC && unlockIMC && lockIMCC && unlockIMCC);
    EXPECT_EQ(GetProcAddress(module, "ImmGetOpenStatus"), nullptr);

    tqplat::VideoSetCompositionText(s_window, kChinese);
    HIMC context = ImmGetContext(s_window);
    LPINPUTCONTEXT record = lockIMC(context);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->hWnd, s_window);
    EXPECT_TRUE(record->fOpen);
    auto* composition = static_cast<COMPOSITIONSTRING*>(lockIMCC(record->hCompStr));
    ASSERT_NE(composition, nullptr);
    ASSERT_EQ(composition->dwCompStrLen, 4u);
    EXPECT_GE(composition->dwSize, composition->dwCompStrOffset + 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(composition) + composition->dwCompStrOffset, 4),
              kChineseGbk);

    // While locked the block stays as it was; the next lock after the last unlock refreshes it.
    EXPECT_EQ(lockIMCC(record->hCompStr), composition);
    tqplat::VideoSetCompositionText(s_window, "x");
    EXPECT_EQ(composition->dwCompStrLen, 4u);
    EXPECT_TRUE(unlockIMCC(record->hCompStr));
    EXPECT_FALSE(unlockIMCC(record->hCompStr));
    composition = static_cast<COMPOSITIONSTRING*>(lockIMCC(record->hCompStr));
    EXPECT_EQ(composition->dwCompStrLen, 1u);
    EXPECT_FALSE(unlockIMCC(record->hCompStr));
    EXPECT_FALSE(unlockIMC(context));

    EXPECT_EQ(lockIMC(nullptr), nullptr);
    EXPECT_EQ(lockIMCC(nullptr), nullptr);
    EXPECT_FALSE(unlockIMC(nullptr));
    ImmReleaseContext(s_window, context);
    EXPECT_TRUE(FreeLibrary(module));
}
