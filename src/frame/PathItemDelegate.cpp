#include "PathItemDelegate.h"

#include "PathBytes.h"

QString PathItemDelegate::displayText(const QVariant& value, const QLocale& locale) const
{
    return PathBytes::displayText(QStyledItemDelegate::displayText(value, locale));
}
