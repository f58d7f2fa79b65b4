// The Qt application object, made by the first call that needs it, so that tests without a main work.
#include "platform/ui/events.h"
#include "platform/ui/layer.h"

#include "platform/sys/textout.h"

#include <QApplication>
#include <QStyleFactory>
#include <cctype>
#include <string>

namespace {

// The application object's first argument: X11 names the window class's instance after it whenever the
// first window appears, so it is the program's name in lower case once the program gave one.
char programFile[64] = "";
int argc = 1;
char* argv[] = {programFile, nullptr};

} // namespace

namespace ui {

void EnsureApp() {
    if (QApplication::instance() != nullptr) return;
    // Lives for the whole process: widgets of panels never discarded must not outlive it.
    new QApplication(argc, argv);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setQuitOnLastWindowClosed(false);
    InstallInputRouting();
}

} // namespace ui

void SetProgramName(const char* name) {
    const std::string given = name != nullptr ? name : "";
    std::string file = given;
    for (char& c : file)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    CopyText(file, programFile);
    QApplication::setApplicationName(ui::ToQt(given));
    QGuiApplication::setDesktopFileName(ui::ToQt(file));
}
