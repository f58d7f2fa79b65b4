#include "platform/ui/numberbox.h"

#include "platform/ui/layer.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <utility>

namespace ui {

namespace {

constexpr double kSpinLimit = 1e12; // a spin box needs finite bounds

// The digits of a hexadecimal entry, with or without its "0x".
QString HexDigits(const QString& text) {
    QString t = text.trimmed();
    if (t.startsWith("0x", Qt::CaseInsensitive)) t = t.mid(2);
    return t;
}

} // namespace

void NumberBox::SetHex(bool hex) {
    if (hex_ == hex) return;
    hex_ = hex;
    setValue(value()); // shown again in the new base
}

void NumberBox::Show(double v, double min, double max) {
    min_ = min;
    max_ = max;
    // A periodic page would otherwise write over the number the user is typing, key by key: the record
    // takes the value now, the box shows it once the entry ends (UserFinishNumber).
    if (HoldForEntry()) return;
    // Setting a range re-reads the box's text, which costs more than the value itself: a page that shows
    // new values many times a second sets it only when it changes.
    const double low = std::max(std::min(min, v), -kSpinLimit);
    const double high = std::min(std::max(max, v), kSpinLimit);
    if (minimum() != low || maximum() != high) setRange(low, high);
    setValue(v);
}

bool NumberBox::HoldForEntry() {
    // setText, which shows every value and every range set, clears the modified flag
    if (!hasFocus() || !lineEdit()->isModified()) return false;
    heldForEntry_ = true;
    return true;
}

bool NumberBox::TakeHeldForEntry() {
    return std::exchange(heldForEntry_, false);
}

bool NumberBox::Shows(double v) const {
    return cleanText() == textFromValue(v);
}

QString NumberBox::textFromValue(double value) const {
    if (!hex_) return QDoubleSpinBox::textFromValue(value);
    const auto v = static_cast<long long>(std::llround(value));
    return (v < 0 ? QStringLiteral("-0x") : QStringLiteral("0x")) +
           QString::number(std::llabs(v), 16).toUpper();
}

std::optional<double> NumberBox::Typed(const QString& text) const {
    if (!hex_) return TypedNumber(text);
    bool ok = false;
    const long long v = HexDigits(text).toLongLong(&ok, 16);
    return ok ? std::optional<double>(static_cast<double>(v)) : std::nullopt;
}

double NumberBox::valueFromText(const QString& text) const {
    return Typed(text).value_or(value());
}

QValidator::State NumberBox::validate(QString& text, int&) const {
    const bool typable = hex_ ? HexDigits(text).isEmpty() || Typed(text).has_value()
                              : TypedNumberPattern().match(text).hasMatch();
    if (!typable) return QValidator::Invalid;
    const std::optional<double> v = Typed(text);
    if (!v) return QValidator::Intermediate;
    // The value the program shows stands, beyond the control's range too, until the user types over it.
    const bool typed = lineEdit()->isModified();
    return *v >= (typed ? min_ : minimum()) && *v <= (typed ? max_ : maximum()) ? QValidator::Acceptable
                                                                                : QValidator::Intermediate;
}

// Enter or leaving the box: a number typed beyond the control's range becomes its bound, as in a table
// cell. What is no number stays as typed, and the box gives its value back.
void NumberBox::fixup(QString& text) const {
    if (const std::optional<double> v = Typed(text)) text = textFromValue(HeldToRange(*v, min_, max_));
}

} // namespace ui
