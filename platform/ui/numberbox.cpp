#include "platform/ui/numberbox.h"

#include <cmath>

namespace ui {

namespace {

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

QString NumberBox::textFromValue(double value) const {
    if (!hex_) return QDoubleSpinBox::textFromValue(value);
    const auto v = static_cast<long long>(std::llround(value));
    return (v < 0 ? QStringLiteral("-0x") : QStringLiteral("0x")) +
           QString::number(std::llabs(v), 16).toUpper();
}

double NumberBox::valueFromText(const QString& text) const {
    if (!hex_) return QDoubleSpinBox::valueFromText(text);
    bool ok = false;
    const long long v = HexDigits(text).toLongLong(&ok, 16);
    return ok ? static_cast<double>(v) : value();
}

QValidator::State NumberBox::validate(QString& text, int& pos) const {
    if (!hex_) {
        // A group separator is neither dropped as the spin box would (typed "3,5" giving 35) nor refused as
        // a key: the entry waits to be mended, and Enter or leaving the box gives the value back.
        const QString separator = locale().groupSeparator();
        if (!text.contains(separator)) return QDoubleSpinBox::validate(text, pos);
        QString bare = text;
        bare.remove(separator);
        int barePos = 0;
        return QDoubleSpinBox::validate(bare, barePos) == QValidator::Invalid ? QValidator::Invalid
                                                                              : QValidator::Intermediate;
    }
    const QString digits = HexDigits(text);
    if (digits.isEmpty()) return QValidator::Intermediate;
    bool ok = false;
    const double v = static_cast<double>(digits.toLongLong(&ok, 16));
    if (!ok) return QValidator::Invalid;
    return v >= minimum() && v <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

// Nothing is mended on the user's behalf: the spin box's own repair is dropping the group separators.
void NumberBox::fixup(QString&) const {}

} // namespace ui
