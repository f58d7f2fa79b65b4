// The program as the desktop sees it: the names it groups and names its windows by, and where they stand
// on the screen (a panel's window as the display reports it, the screen's available area, the place of a
// popup centred on its owner but kept on the screen).
#pragma once

#include "platform/ui/uitest.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <cstdlib>
#include <gtest/gtest.h>

// The program's windows go by its name: X11 reports their window class as file (the instance) and name
// (the class), and the desktop starts the program from "<file>.desktop".
inline void ExpectDesktopNames(const char* file, const char* name) {
    EXPECT_EQ(QCoreApplication::arguments().value(0).toStdString(), file);
    EXPECT_EQ(QCoreApplication::applicationName().toStdString(), name);
    EXPECT_EQ(QGuiApplication::desktopFileName().toStdString(), file);
}

// The panel's window, its frame included.
inline QRect FrameOf(int panel) {
    Rect r{};
    EXPECT_EQ(uitest::GetWindowFrame(panel, &r), 0);
    return {r.left, r.top, r.width, r.height};
}

// Where windows may stand: the screen less what the desktop keeps for itself (the tests have one screen).
inline QRect ScreenArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

// A popup opens inside the screen's available area and, across and down alike, centred on its owner where
// that leaves it inside, else at the edge of the area that the centred place would cross.
inline void ExpectCentredOnScreen(const QRect& shown, const QRect& owner) {
    const QRect area = ScreenArea();
    EXPECT_TRUE(area.contains(shown)) << "off the screen";
    struct Axis {
        const char* name;
        int start, size, centre; // the popup's
        int ownerCentre;
        int areaStart, areaEnd; // the area's first pixel and the one after its last
    };
    const Axis axes[] = {
        {"across", shown.left(), shown.width(), shown.center().x(), owner.center().x(), area.left(),
         area.right() + 1},
        {"down", shown.top(), shown.height(), shown.center().y(), owner.center().y(), area.top(),
         area.bottom() + 1},
    };
    for (const Axis& a : axes) {
        const int centred = a.ownerCentre - a.size / 2;
        if (centred < a.areaStart)
            EXPECT_EQ(a.start, a.areaStart) << a.name << ": at the area's edge";
        else if (centred + a.size > a.areaEnd)
            EXPECT_EQ(a.start + a.size, a.areaEnd) << a.name << ": at the area's edge";
        else
            EXPECT_LE(std::abs(a.centre - a.ownerCentre), 1) << a.name << ": centred on its owner";
    }
}
