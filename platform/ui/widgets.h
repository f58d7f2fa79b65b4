// Widget classes of the layer that Qt lacks. Internal to platform/ui.
#pragma once

#include <QColor>
#include <QProgressBar>
#include <QWidget>

namespace ui {

// A round lamp.
class LedWidget : public QWidget {
  public:
    using QWidget::QWidget;
    void SetColor(const QColor& c) {
        color_ = c;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override;

  private:
    QColor color_;
};

// A progress bar whose percentage is one colour over the fill and the groove alike: the style's two-colour
// text splits a digit where the fill ends, and on a narrow bar that digit no longer reads.
class ProgressBar : public QProgressBar {
  public:
    using QProgressBar::QProgressBar;

  protected:
    void paintEvent(QPaintEvent*) override;
};

} // namespace ui
