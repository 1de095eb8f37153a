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

    // Pins the work area (in twips) for a test; std::nullopt goes back to the screen's.
    void setWorkArea(std::optional<QRect> twips) { m_pinned = twips; }

private:
    [[nodiscard]] QRect workArea() const;

    std::optional<QRect> m_pinned;
};
