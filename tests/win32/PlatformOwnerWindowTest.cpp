// The owner of the windows the platform layer shows by itself (the download login): the main window the user
// interface set, while it exists; the desktop otherwise.
#include "PlatformTestSupport.h"

#include <thread>

#include "platform/win32/OwnerWindow.h"
#include "wizard/win32/Win32UserInterface.h"

using platform::win32::ownerWindow;

TEST(OwnerWindow, IsTheMainWindowWhileItExistsAndTheDesktopOtherwise) {
    ::setMainWindow(nullptr);
    EXPECT_EQ(platform::win32::mainWindow(), nullptr);
    EXPECT_EQ(ownerWindow(), GetDesktopWindow());

    HWND window = CreateWindowExA(0, "STATIC", "main window stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 100, 50, nullptr,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    // The user interface's own setter is what the platform layer reads, and both answer the same.
    ::setMainWindow(window);
    EXPECT_EQ(platform::win32::mainWindow(), window);
    EXPECT_EQ(::mainWindow(), window);
    EXPECT_EQ(ownerWindow(), window);
    // Downloads ask from their worker thread.
    HWND seenByWorker = nullptr;
    std::thread([&] { seenByWorker = ownerWindow(); }).join();
    EXPECT_EQ(seenByWorker, window);

    // A window that is gone is no owner, even while it is still set.
    DestroyWindow(window);
    EXPECT_EQ(platform::win32::mainWindow(), window);
    EXPECT_EQ(ownerWindow(), GetDesktopWindow());
    ::setMainWindow(nullptr);
    EXPECT_EQ(ownerWindow(), GetDesktopWindow());
}
