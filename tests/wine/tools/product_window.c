/* Stands in for the running product: a top-level window of the product's class. When it is
   asked to close it writes "closed" to the file named by its last argument, then exits. With
   "/slow " before that argument it first takes two seconds and saves its settings under the
   current user, as a product that writes its settings on the way out does. */
#include <string.h>
#include <windows.h>

static const char* closedMarker;
static int slowToClose;

static void SaveSettings(void)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\QUENDRA Software\\Dovrance", 0, 0, 0,
                        KEY_ALL_ACCESS, 0, &key, 0) == ERROR_SUCCESS) {
        RegSetValueExA(key, "WindowPosition", 0, REG_SZ, (const BYTE*)"10,10", 6);
        RegCloseKey(key);
    }
}

static LRESULT CALLBACK HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        HANDLE file;
        DWORD written;
        if (slowToClose) {
            Sleep(2000);
            SaveSettings();
        }
        file = CreateFileA(closedMarker, GENERIC_WRITE, 0, 0, CREATE_ALWAYS, 0, 0);
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
    slowToClose = strncmp(commandLine, "/slow ", 6) == 0;
    closedMarker = slowToClose ? commandLine + 6 : commandLine;
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
