// Always-on-top on real Win32 windows: the topmost style follows the flag and
// the window keeps its rectangle, also when it is partly off the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/topmost_window.h"

namespace veltro::win32 {
namespace {

// Lets the window system deliver whatever the last call set off.
void pumpMessages() {
    for (int pass = 0; pass < 20; ++pass) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
}

HWND createHiddenWindow(const RECT& r) {
    static const wchar_t* const kClass = L"VeltroTopmostTest";
    static const bool registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        return RegisterClassW(&windowClass) != 0;
    }();
    if (!registered) {
        return nullptr;
    }
    return CreateWindowExW(0, kClass, L"Veltro", WS_OVERLAPPEDWINDOW, r.left, r.top,
                           r.right - r.left, r.bottom - r.top, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

bool isTopmost(HWND window) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

TEST(TopmostWindow, InsertAfterHandles) {
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(topmostInsertAfter(true)), -1);
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(topmostInsertAfter(false)), -2);
}

TEST(TopmostWindow, JoinsAndLeavesTheTopmostGroupInPlace) {
    struct Case {
        const char* name;
        RECT pixels;  // left, top, right, bottom
        TwipsRect twips;
        double twipsPerPixel;
    };
    const Case cases[] = {
        {"on the screen at 96 dpi", {100, 80, 497, 423}, {1500, 1200, 5955, 5145}, 15},
        {"partly off the screen", {-150, -40, 247, 303}, {-2250, -600, 5955, 5145}, 15},
        {"120 dpi, halves to even", {428, 246, 924, 675}, {5130, 2955, 5955, 5145}, 12},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HWND window = createHiddenWindow(c.pixels);
        ASSERT_NE(window, nullptr);
        const HWND activeBefore = GetActiveWindow();
        for (const bool onTop : {true, false, true}) {
            SCOPED_TRACE(onTop ? "on top" : "not on top");
            setTopmost(window, onTop, c.twips, c.twipsPerPixel, c.twipsPerPixel);
            pumpMessages();
            EXPECT_EQ(isTopmost(window), onTop);
            EXPECT_TRUE(IsWindowVisible(window)) << "shown";
            EXPECT_EQ(GetActiveWindow(), activeBefore) << "not activated";
            RECT now{};
            GetWindowRect(window, &now);
            EXPECT_EQ(now.left, c.pixels.left);
            EXPECT_EQ(now.top, c.pixels.top);
            EXPECT_EQ(now.right, c.pixels.right);
            EXPECT_EQ(now.bottom, c.pixels.bottom);
        }
        DestroyWindow(window);
    }
}

}  // namespace
}  // namespace veltro::win32
