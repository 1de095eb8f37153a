#include "TrackText.h"

#include "frame/PathBytes.h"

#include <QDir>
#include <cmath>

namespace TrackText {

QString counterPrefix(const QString& counter)
{
    const qsizetype slash = counter.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : counter.left(slash);
}

int leadingNumber(const QString& text)
{
    qsizetype at = 0;
    while (at < text.size() && text.at(at).isSpace())
        ++at;
    const bool negative = at < text.size() && text.at(at) == QLatin1Char('-');
    if (negative || (at < text.size() && text.at(at) == QLatin1Char('+')))
        ++at;
    long long value = 0;
    for (; at < text.size() && text.at(at).isDigit() && value < 1'000'000'000; ++at)
        value = value * 10 + text.at(at).digitValue();
    return static_cast<int>(negative ? -value : value);
}

QString TitleFromPath(const QString& path)
{
    qsizetype separator = path.lastIndexOf(QDir::separator());
#ifdef Q_OS_WIN
    separator = std::max(separator, path.lastIndexOf(QLatin1Char('/')));
#endif
    if (separator < 0)
        return {};
    const QString filePart = PathBytes::displayText(path.mid(separator + 1));
    constexpr qsizetype Extension = 4;
    return filePart.size() < Extension ? filePart : filePart.chopped(Extension);
}

QString FormatTime(double seconds)
{
    if (!std::isfinite(seconds) || seconds < 0)
        seconds = 0;
    // rint rounds halves to the even neighbour in the default rounding mode.
    const auto whole = static_cast<long long>(std::rint(seconds));
    return QString::number(whole / 60) + QLatin1Char(':') + QString::number(whole % 60);
}

int VolumePercent(int hundredthsOfDb)
{
    return hundredthsOfDb / 100 + 100;
}

} // namespace TrackText
