#include "Design.h"

#include <QLabel>
#include <QTimer>

namespace Design {

namespace {
QFont sansSerif(const QString& family, int pixelSize)
{
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    return font;
}
} // namespace

QFont displayFont()
{
    return sansSerif(QStringLiteral("Arial"), 9);
}

QFont dialogFont()
{
    return sansSerif(QStringLiteral("MS Sans Serif"), 11);
}

QLabel* displayLabel(QWidget* parent, const QString& name, const QString& caption)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(displayFont());
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Box | QFrame::Plain);
    label->setLineWidth(1);
    label->setTextFormat(Qt::PlainText);
    QPalette colours = label->palette();
    colours.setColor(QPalette::Window, Teal);
    colours.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(colours);
    label->setAutoFillBackground(true);
    return label;
}

QTimer* timer(QObject* parent, const QString& name, int intervalMs, bool enabled)
{
    auto* created = new QTimer(parent);
    created->setObjectName(name);
    created->setInterval(intervalMs);
    if (enabled)
        created->start();
    return created;
}

void paintTeal(QWidget* control)
{
    QPalette colours = control->palette();
    colours.setColor(QPalette::Base, Teal);
    colours.setColor(QPalette::Window, Teal);
    colours.setColor(QPalette::Button, Teal);
    colours.setColor(QPalette::Text, Qt::black);
    control->setPalette(colours);
    control->setFont(dialogFont());
}

} // namespace Design
