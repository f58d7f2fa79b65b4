#include "orvane/params/cocedit.h"

// The record is not edited yet: nothing to load, and nothing can differ from its reference.
void LoadCocEditData(int) {}
bool NewCocEditData() {
    return false;
}
