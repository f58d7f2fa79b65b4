// The numeric control's widget: a spin box that can show its value in hexadecimal (CAN identifiers). It
// reads typed numbers as the table cells do: text with a group separator is no number, and the box keeps
// its value.
// Internal to platform/ui.
#pragma once

#include <QDoubleSpinBox>

namespace ui {

class NumberBox : public QDoubleSpinBox {
  public:
    using QDoubleSpinBox::QDoubleSpinBox;

    void SetHex(bool hex);

  protected:
    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;

  private:
    bool hex_ = false;
};

} // namespace ui
