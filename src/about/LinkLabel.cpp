#include "LinkLabel.h"

#include "frame/Accessible.h"
#include "frame/ImageButton.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPointer>

namespace {

QAccessibleInterface* accessibleLink(const QString& key, QObject* object)
{
    if (key != QLatin1String("LinkLabel"))
        return nullptr;
    const QPointer<LinkLabel> link = qobject_cast<LinkLabel*>(object);
    return new PressAccessible(link, QAccessible::Link, [link] {
        if (link)
            emit link->Click();
    });
}

} // namespace

// The text comes after the factory: a label's first text asks for its accessible face, and
// the one asked for then is kept.
LinkLabel::LinkLabel(const QString& caption, QWidget* parent) : QLabel(parent)
{
    QAccessible::installFactory(accessibleLink);
    setFocusPolicy(Qt::TabFocus);
    setText(caption);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    emit Click();
}

void LinkLabel::keyPressEvent(QKeyEvent* event)
{
    if (!ImageButton::isPressKey(event->key())) {
        QLabel::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())
        emit Click();
}

// The focus shows as a dotted line around the address, in the address's own colour.
void LinkLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    painter.setPen(QPen(palette().windowText().color(), 0, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
