// The numeric control's widget: a spin box that can show its value in hexadecimal (CAN identifiers). It
// reads typed numbers as the table cells do: every key of a number stays as it is typed, whatever number it
// makes on the way (a box of 0 .. 100 does not cut "999" to "99", nor "1e1" to "11", nor refuse "-5");
// Enter or leaving the box holds the number to the control's own range, and text that is no number (a
// group separator in it) leaves the box its value. A value shown beyond that range widens the spin box's
// range to show it as it is, and stays as long as the user types nothing over it; a number typed is held
// to the control's range all the same.
// Internal to platform/ui.
#pragma once

#include <QDoubleSpinBox>
#include <optional>

namespace ui {

class NumberBox : public QDoubleSpinBox {
  public:
    using QDoubleSpinBox::QDoubleSpinBox;

    void SetHex(bool hex);
    // Shows v, for a control whose range is min .. max (v may lie beyond it), unless it must wait for the
    // entry under way (HoldForEntry).
    void Show(double v, double min, double max);

    // Whether a program value waited during the entry that has just ended; clears it.
    bool TakeHeldForEntry();
    // Whether the box's text is what it shows for v.
    bool Shows(double v) const;

  protected:
    QString textFromValue(double value) const override;
    double valueFromText(const QString& text) const override;
    QValidator::State validate(QString& text, int& pos) const override;
    void fixup(QString& text) const override;

  private:
    // While the user types (the box has the focus and an entry not yet ended), a value the program sets
    // waits: the entry is the user's until Enter or leaving the box ends it. True when the value must wait.
    bool HoldForEntry();
    // The number the text stands for in the box's base; none while it is no number.
    std::optional<double> Typed(const QString& text) const;

    bool hex_ = false;
    bool heldForEntry_ = false;
    double min_ = 0, max_ = 0; // the control's range, which entries are held to
};

} // namespace ui
