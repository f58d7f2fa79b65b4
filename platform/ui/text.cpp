// Byte strings of the program to Qt texts and back: UTF-8 when the bytes are valid UTF-8, else Latin-1,
// so that single-byte ECU texts round-trip.
#include "platform/ui/layer.h"

#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>
#include <algorithm>

namespace ui {

QString ToQt(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(view);
    return utf8.hasError() ? QString::fromLatin1(view) : s;
}

std::string FromQt(const QString& s) {
    for (const QChar c : s)
        if (c.unicode() > 0xFF) return s.toStdString();
    const QByteArray latin1 = s.toLatin1();
    return std::string(latin1.constData(), static_cast<std::size_t>(latin1.size()));
}

QString FormatNumber(double v, int precision) {
    return QLocale::c().toString(v, 'f', precision);
}

std::optional<double> TypedNumber(const QString& text) {
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

const QRegularExpression& TypedNumberPattern() {
    static const QRegularExpression kNumber(
        QRegularExpression::anchoredPattern(R"([+-]?(\d*[.,]?\d*)([eE][+-]?\d*)?)"));
    return kNumber;
}

double HeldToRange(double entered, double min, double max) {
    return std::clamp(entered, min, max);
}

} // namespace ui
