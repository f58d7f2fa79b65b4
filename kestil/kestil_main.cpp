// Kestil's entry: the window comes from the "screen.uir" beside the program.
#include "kestil/screen.h"
#include "kestil/window.h"
#include "platform/ui/userint.h"

int main() {
    RegisterScreenCallbacks();
    if (!StartKestil()) return -1;
    DisplayPanel(hMainPanel);
    RunUserInterface();
    return 0;
}
