// Input that arrives while an operation pumps events from inside a callback (the program's busy pump):
// the program answers nothing then, so a key or a press is dropped whole (neither the callbacks nor the
// widget act on it), while the release that ends a drag or a selection box is held and delivered once
// the operation's callback has returned.
#include "platform/ui/layer.h"

#include <utility>

namespace ui {
namespace {

int callbackDepth = 0;
bool operationPump = false; // the innermost pump running is an operation's
std::vector<std::function<void()>> held;

void DeliverHeld() {
    while (!held.empty()) {
        std::vector<std::function<void()>> now = std::exchange(held, {});
        for (const auto& deliver : now)
            deliver();
    }
}

} // namespace

CallbackScope::CallbackScope() {
    ++callbackDepth;
}

CallbackScope::~CallbackScope() {
    if (--callbackDepth == 0) DeliverHeld();
}

PumpScope::PumpScope(Kind kind) : outer_(operationPump) {
    // A wait for the user (a dialog's loop) takes input even inside an operation.
    operationPump = kind == Kind::Operation && callbackDepth > 0;
}

PumpScope::~PumpScope() {
    operationPump = outer_;
}

bool InOperationPump() {
    return operationPump;
}

void HoldUntilDone(std::function<void()> deliver) {
    held.push_back(std::move(deliver));
}

} // namespace ui
