#include "Accessible.h"

#include "FormWindow.h"
#include "ImageButton.h"

#include <QLabel>
#include <QPointer>

namespace {

// A label: a picture, or a text read as its value and through the text interface, as screen
// readers read labels. A label with a name of its own ("Abestia") is called by it; any other
// by its text, as Qt's own labels are. Every label gets this face, since Qt keeps the first one
// it hands out, which a label's first text asks for before its name is given.
class LabelAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit LabelAccessible(QLabel* label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    [[nodiscard]] QAccessible::Role role() const override
    {
        return label()->pixmap().isNull() ? QAccessible::StaticText : QAccessible::Graphic;
    }
    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value ||
            (kind == QAccessible::Name && widget()->accessibleName().isEmpty())) {
            // A label naming a field ("File &name:") shows its shortcut letter underlined.
            return label()->buddy() == nullptr ? label()->text()
                                               : QString(label()->text()).remove(u'&');
        }
        return QAccessibleWidget::text(kind);
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    [[nodiscard]] QString text(int startOffset, int endOffset) const override
    {
        return label()->text().mid(startOffset, endOffset - startOffset);
    }
    [[nodiscard]] int characterCount() const override { return int(label()->text().size()); }
    void selection(int /*selectionIndex*/, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    [[nodiscard]] int selectionCount() const override { return 0; }
    void addSelection(int /*startOffset*/, int /*endOffset*/) override {}
    void removeSelection(int /*selectionIndex*/) override {}
    void setSelection(int /*selectionIndex*/, int /*startOffset*/, int /*endOffset*/) override {}
    [[nodiscard]] int cursorPosition() const override { return 0; }
    void setCursorPosition(int /*position*/) override {}
    [[nodiscard]] QRect characterRect(int /*offset*/) const override { return {}; }
    [[nodiscard]] int offsetAtPoint(const QPoint& /*point*/) const override { return -1; }
    void scrollToSubstring(int /*startIndex*/, int /*endIndex*/) override {}
    [[nodiscard]] QString attributes(int offset, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return {};
    }

private:
    [[nodiscard]] QLabel* label() const { return static_cast<QLabel*>(widget()); }
};

// Qt asks with each class name of the object, most derived first, and the factory installed
// last is asked first: so these answer before Qt's own for a QLabel. An object asked about
// while its constructor runs is taken for its base class.
QAccessibleInterface* programControls(const QString& key, QObject* object)
{
    if (key == QLatin1String("ImageButton")) {
        const QPointer<ImageButton> button = qobject_cast<ImageButton*>(object);
        return new PressAccessible(button, QAccessible::Button, [button] {
            if (button)
                emit button->MouseUp();
        });
    }
    if (key == QLatin1String("FormWindow"))
        return new QAccessibleWidget(qobject_cast<QWidget*>(object), QAccessible::Window);
    if (key == QLatin1String("QLabel"))
        return new LabelAccessible(qobject_cast<QLabel*>(object));
    return nullptr;
}

} // namespace

namespace Accessible {

void install()
{
    QAccessible::installFactory(programControls);
}

} // namespace Accessible

PressAccessible::PressAccessible(QWidget* widget, QAccessible::Role role,
                                 std::function<void()> press)
    : QAccessibleWidget(widget, role), m_press(std::move(press))
{
}

QString PressAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && widget()->accessibleName().isEmpty()) {
        if (const auto* label = qobject_cast<const QLabel*>(widget()))
            return label->text();
    }
    return QAccessibleWidget::text(kind);
}

bool PressAccessible::pressable() const
{
    return widget()->isVisible() && widget()->isEnabled();
}

QStringList PressAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (pressable())
        names.prepend(pressAction());
    return names;
}

void PressAccessible::doAction(const QString& action)
{
    if (action != pressAction())
        QAccessibleWidget::doAction(action);
    else if (pressable())
        m_press();
}

QStringList PressAccessible::keyBindingsForAction(const QString& action) const
{
    if (action == pressAction())
        return {QStringLiteral("Space")};
    return QAccessibleWidget::keyBindingsForAction(action);
}
