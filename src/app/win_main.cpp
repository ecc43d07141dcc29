#include "confirm/confirm_phase.h"
#include "platform/path_text.h"
#include "platform/platform_services.h"
#include "product/product_names.h"
#include "removal/removal_steps.h"

// The whole command line is searched, program path included: the first run passes the switch
// to the copy it starts, and any occurrence of it selects the removal.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    if (ContainsText(GetCommandLineA(), InternalSwitch)) {
        RunRemovalPhase();
    } else {
        RunConfirmationPhase();
    }
    return 1;
}
