#pragma once

#include "Pictures.h"

#include <QColor>
#include <QWidget>
#include <array>
#include <cstddef>

template <class Window> struct ButtonRow;

enum class FrameStyle { None, Thin };

// What the six windows have in common: a fixed client area given in twips, either no frame or
// a thin 3-pixel one, no title bar and no task-bar button, a background colour or picture drawn
// unscaled from the client area's top-left corner, and the load and activation handlers.
// Positions and sizes read and written in twips are outer ones, frame included.
//
// On a scaled screen the window paints itself in device pixels: the frame is a whole number of
// them, the same on every side, and the background is the picture drawn for that scale. Where
// the scale is fractional Qt cannot put a window on every device pixel, so windows that touch
// in the layout are put on theirs through the platform window (moveToDevicePixel).
class FormWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int ThinFramePixels = 3;

    FormWindow(const QString& name, int clientWidthTwips, int clientHeightTwips, FrameStyle frame);

    // Runs once, right after the window is created (hidden) on its first reference.
    virtual void Form_Load() {}
    // Runs when the window is shown and whenever it becomes active again.
    virtual void Form_Activate() {}

    [[nodiscard]] int Left() const;
    [[nodiscard]] int Top() const;
    [[nodiscard]] int Width() const;
    [[nodiscard]] int Height() const;
    void Move(int leftTwips, int topTwips);

    // Where a control stands inside the client area, in pixels.
    [[nodiscard]] QRect clientGeometry(const QWidget* control) const;

    // The thin frame at a device-pixel ratio: 3 px cut down to whole device pixels
    // (children stand on logical pixels, so a wider frame would run under them), and where its
    // three rings (outer, middle, inner) end, counted from the window's edge.
    [[nodiscard]] static std::array<int, 3> thinFrameRings(qreal ratio);
    // The frame's width in device pixels at the window's present ratio; 0 without a frame.
    [[nodiscard]] int frameDevicePixels() const;
    // The window on the screen in device pixels, as the platform window holds it (or, before
    // it exists, as Qt will map it).
    [[nodiscard]] QRect deviceGeometry() const;

protected:
    // Puts a control at a position and size given in twips within the client area.
    void place(QWidget* control, int left, int top, int width, int height) const;
    // Makes a row of image buttons from a table (see ButtonRow.h) and connects their handlers.
    template <class Window, std::size_t Count>
    void buildButtons(const std::array<ButtonRow<Window>, Count>& rows);
    void setBackgroundColour(const QColor& colour);
    void setBackgroundPicture(const Pictures::Scaled& picture);
    // The placement of a window on top of another one, left edges aligned: in twips,
    // then on device pixels, so that at any scale the two touch.
    void standOn(const FormWindow& below);
    // Puts the window's top-left corner on a device pixel of the screen.
    void moveToDevicePixel(QPoint topLeft);

    // A window-manager request to close the window. Nothing in the program closes its windows
    // that way, and ending silently would lose the playlist, so by default the window hides.
    virtual void Form_CloseRequest() { hide(); }

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void paintThinFrame(QPainter& painter, QSize device) const;

    int m_frame;
    QColor m_background;
    Pictures::Scaled m_picture;
};
