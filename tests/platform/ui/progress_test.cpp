// The progress bar (a slide shown as an indicator): its percentage reads against the bar at every stage.
#include "platform/ui/layer.h"
#include "platform/ui/userint.h"

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>

namespace {

// The main window's bar: 120x20, 0 to 100.
constexpr const char* kBarUir = R"(
panel BAR 1 "Bar" - 200x60
 2 NSbar slide "" - 40,20,120,20 min=0 max=100 indicator
)";

// The darkest pixel of the text's left half (the columns left of the bar's centre, inside its border): dark
// strokes there read on the fill as on the groove. Drawn light over the fill, as the style does, a digit
// split by the fill's end shows half light and half dark.
int DarkestLeftOfCentre(const QImage& image) {
    int darkest = 255;
    for (int x = image.width() / 2 - 12; x < image.width() / 2 - 2; ++x)
        for (int y = 4; y < image.height() - 4; ++y)
            darkest = std::min(darkest, QColor(image.pixel(x, y)).lightness());
    return darkest;
}

TEST(UiProgress, PercentageIsOneDarkColourOverTheFillAndTheGroove) {
    RegisterResource("bar.uir", kBarUir);
    const int panel = LoadPanel(0, "bar.uir", 1);
    ASSERT_GT(panel, 0) << GetLastLoadError();
    ASSERT_EQ(DisplayPanel(panel), 0);
    QWidget* bar = ui::FindControl(panel, 2, nullptr)->widget;
    const char* dir = std::getenv("ORVANE_SHOT_DIR");
    for (const int percent : {0, 50, 100}) {
        ASSERT_EQ(SetCtrlVal(panel, 2, static_cast<double>(percent)), 0);
        const QImage image = bar->grab().toImage();
        EXPECT_LT(DarkestLeftOfCentre(image), 60) << percent << "%";
        if (dir != nullptr)
            image.save(QString::fromStdString(std::string(dir) + "/bar-" + std::to_string(percent) + ".png"));
    }
    DiscardPanel(panel);
}

} // namespace
