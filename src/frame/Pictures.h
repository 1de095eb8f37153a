#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>
#include <optional>

// Pictures come from files beside the executable: button icons from irudiak/, the windows'
// designs from pictures/. A picture that cannot be read is told once on standard error and
// comes back null, so the caller keeps what it shows.
namespace Pictures {

// Every image an icon file carries (16x16 and 32x32), so a button stays sharp when scaled.
QIcon readIconFile(const QString& path);

QIcon designIcon(const QString& name);
QPixmap designPicture(const QString& name);

// A window's picture for every scale: "name.png" at 1x and "name@2x.png" at 2x. Any other size
// is made from the 2x picture scaled smoothly, so a fractional scale shows it a little finer
// rather than the 1x one enlarged. The 2x file is read only when a scaled screen first asks.
class Scaled {
public:
    Scaled() = default;
    explicit Scaled(const QString& name);

    [[nodiscard]] bool isNull() const { return !m_size.isValid(); }
    // The picture's size at 1x, in logical pixels.
    [[nodiscard]] QSize size() const { return m_size; }
    // The picture filling a size in device pixels, at a ratio of 1 (for painting in device
    // pixels).
    [[nodiscard]] QPixmap forDeviceSize(QSize device) const;
    // The picture for a device-pixel ratio, that ratio set on it, so it covers size() logical
    // pixels.
    [[nodiscard]] QPixmap forRatio(qreal ratio) const;

private:
    QString m_name;
    QSize m_size;
    mutable std::optional<QPixmap> m_one;
    mutable std::optional<QPixmap> m_two;
    mutable QPixmap m_last;
};

QString iconFolderPath(const QString& fileName);

void reportUnreadable(const QString& path);

} // namespace Pictures
