#pragma once

#include <QAccessibleWidget>
#include <functional>

// How the program's own controls look to a screen reader. Windows are windows, image buttons
// are push buttons with a press action, and a label that carries a name of its own
// ("Abestia") reads its text as its value.
namespace Accessible {

// Makes the interfaces above the ones Qt hands out. Installing twice is harmless.
void install();

} // namespace Accessible

// A control that a screen reader can press: its name is its accessible name or, for a label,
// its text; the press action runs the given command while the control is shown and enabled,
// as a hidden control takes no clicks either.
class PressAccessible : public QAccessibleWidget {
public:
    PressAccessible(QWidget* widget, QAccessible::Role role, std::function<void()> press);

    [[nodiscard]] QString text(QAccessible::Text kind) const override;
    [[nodiscard]] QStringList actionNames() const override;
    void doAction(const QString& action) override;
    [[nodiscard]] QStringList keyBindingsForAction(const QString& action) const override;

private:
    [[nodiscard]] bool pressable() const;

    std::function<void()> m_press;
};
