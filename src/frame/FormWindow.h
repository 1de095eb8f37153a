#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <cstddef>

template <class Window> struct ButtonRow;

enum class FrameStyle { None, Thin };

// What the six windows have in common: a fixed client area given in twips, either no frame or
// a thin 3-pixel one, no title bar and no task-bar button, a background colour or picture drawn
// unscaled from the client area's top-left corner, and the load and activation handlers.
// Positions and sizes read and written in twips are outer ones, frame included.
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

protected:
    // Puts a control at a position and size given in twips within the client area.
    void place(QWidget* control, int left, int top, int width, int height) const;
    // Makes a row of image buttons from a table (see ButtonRow.h) and connects their handlers.
    template <class Window, std::size_t Count>
    void buildButtons(const std::array<ButtonRow<Window>, Count>& rows);
    void setBackgroundColour(const QColor& colour);
    void setBackgroundPicture(const QPixmap& picture);

    // A window-manager request to close the window. Nothing in the program closes its windows
    // that way, and ending silently would lose the playlist, so by default the window hides.
    virtual void Form_CloseRequest() { hide(); }

    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void paintThinFrame(QPainter& painter) const;

    int m_frame;
    QColor m_background;
    QPixmap m_picture;
};
