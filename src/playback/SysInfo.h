#pragma once

#include <QObject>
#include <QRect>
#include <optional>

// The desktop work area (the primary screen less its panels), in twips. Read on demand, since
// panels and screens can change while the program runs.
class SysInfo : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    [[nodiscard]] int WorkAreaLeft() const { return workArea().left(); }
    [[nodiscard]] int WorkAreaTop() const { return workArea().top(); }
    [[nodiscard]] int WorkAreaWidth() const { return workArea().width(); }
    [[nodiscard]] int WorkAreaHeight() const { return workArea().height(); }

    // The same work area in device pixels at a device-pixel ratio. At a fractional ratio the
    // twips, which count logical pixels, cannot say on which device pixel the area ends; the
    // screen's own figure can.
    [[nodiscard]] QRect deviceWorkArea(qreal ratio) const;

private:
    [[nodiscard]] QRect workArea() const;
};
