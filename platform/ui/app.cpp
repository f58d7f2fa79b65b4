// The Qt application object, made by the first call that needs it, so that tests without a main work.
#include "platform/ui/events.h"
#include "platform/ui/layer.h"

#include <QApplication>
#include <QStyleFactory>

namespace ui {

void EnsureApp() {
    if (QApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "orvane";
    static char* argv[] = {name, nullptr};
    // Lives for the whole process: widgets of panels never discarded must not outlive it.
    new QApplication(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    InstallInputRouting();
}

} // namespace ui
