/* Stands in for the running product: a top-level window of the product's class. When it is
   asked to close it writes "closed" to the file named by its argument, then exits. */
#include <windows.h>

static const char* closedMarker;

static LRESULT CALLBACK HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        HANDLE file = CreateFileA(closedMarker, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
        DWORD written;
        WriteFile(file, "closed", 6, &written, 0);
        CloseHandle(file);
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show)
{
    WNDCLASSA windowClass = {0};
    MSG message;
    (void)previous;
    (void)show;
    closedMarker = commandLine;
    windowClass.lpfnWndProc = HandleMessage;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "QuendraDovrance";
    RegisterClassA(&windowClass);
    CreateWindowA("QuendraDovrance", "QUENDRA Dovrance 98 (test stand-in)", WS_OVERLAPPEDWINDOW,
                  0, 0, 200, 100, 0, 0, instance, 0);
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    return 0;
}
