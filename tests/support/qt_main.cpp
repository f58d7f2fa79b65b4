// Entry of every test program that shows panels: Qt without a display.
#include <cstdlib>
#include <gtest/gtest.h>

// The leak check (sanitizer builds) skips the font library's caches and, on a display, the session bus
// connection that Qt's X11 platform keeps and Mesa's software renderer's contexts (the 3-D plot), which
// it frees only sometimes at exit: all live as long as the process.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\nleak:libdbus-1.so\nleak:swrast_dri.so\n";
}

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
