// The program's entry: its resource and callbacks are part of the program.
#include "orvane/core/ui/mainwin.h"
#include "orvane/ui/screen.h"
#include "platform/ui/userint.h"

int main() {
    RegisterResource("screen.uir", kScreenUir);
    RegisterScreenCallbacks();
    return OrvaneMain();
}
