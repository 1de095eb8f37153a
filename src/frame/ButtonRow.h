#pragma once

#include "FormWindow.h"
#include "ImageButton.h"

#include <QKeySequence>
#include <QShortcut>
#include <QStringView>
#include <array>
#include <cstddef>

// One image button of a window's row: the member that holds it, its object name, where it
// stands in twips, its pictures and tooltip, whether it shows at first, and its handlers.
template <class Window> struct ButtonRow {
    ImageButton* Window::*control;
    QStringView name;
    int left;
    int top;
    QStringView iconBase;
    QStringView toolTip;
    bool visible;
    void (Window::*mouseUp)();
    void (Window::*mouseDown)() = nullptr;
};

// The buttons are made in table order, which is also the order they stack in where they
// overlap.
template <class Window, std::size_t Count>
void FormWindow::buildButtons(const std::array<ButtonRow<Window>, Count>& rows)
{
    constexpr int Side = 240;
    auto* window = static_cast<Window*>(this);
    for (const ButtonRow<Window>& row : rows) {
        auto* created = new ImageButton(this, row.iconBase.toString(), row.toolTip.toString());
        created->setObjectName(row.name.toString());
        place(created, row.left, row.top, Side, Side);
        if (!row.visible)
            created->hide();
        window->*row.control = created;
        connect(created, &ImageButton::MouseUp, window, row.mouseUp);
        if (row.mouseDown != nullptr)
            connect(created, &ImageButton::MouseDown, window, row.mouseDown);
    }
}

// Keys that run a button's release handler, and only while that button is shown: a key offers
// what the window offers and nothing more, so the handlers' own guards are never bypassed. The
// keys act anywhere in the window, or only while scope has the focus.
template <class Window>
void keysForButton(Window* window, const QList<QKeySequence>& keys, ImageButton* button,
                   void (Window::*handler)(), QWidget* scope = nullptr)
{
    auto* shortcut = new QShortcut(scope == nullptr ? window : scope);
    shortcut->setKeys(keys);
    shortcut->setContext(scope == nullptr ? Qt::WindowShortcut : Qt::WidgetShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [window, button, handler] {
        if (!button->isHidden())
            (window->*handler)();
    });
}
