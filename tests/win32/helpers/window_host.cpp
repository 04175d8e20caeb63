// Test helper: shows a top-level window titled with its first argument and ends when the window is closed,
// with the identifier of the last WM_COMMAND it received as exit code. Command 99 makes it stop answering
// for six seconds, like a hung program.
#include <windows.h>

namespace {

WPARAM lastCommand = 0;

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            lastCommand = LOWORD(wParam);
            if (lastCommand == 99) Sleep(6000);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(int(lastCommand));
            return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 255;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PlatformTestWindowHost";
    if (!RegisterClassA(&windowClass)) return 254;
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, argv[1], WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window) return 253;
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return int(message.wParam);
}
