// The process starts here, with no run-time library: Windows 95 and NT 4.0 lack, or carry too
// old, the C run-time that the compiler's own start-up code would need.
#include "platform/platform_services.h"

extern "C" void WinMainCRTStartup()
{
    ExitProcess((UINT)WinMain(0, 0, 0, 0));
}
