// Widget classes of the layer that Qt lacks. Internal to platform/ui.
#pragma once

#include <QColor>
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

} // namespace ui
