#pragma once

#include <QStyledItemDelegate>

// Draws a list of paths with PathBytes::displayText, so a byte that is not UTF-8 shows as
// U+FFFD while the item keeps the escaped text that gives the path's bytes back.
class PathItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    [[nodiscard]] QString displayText(const QVariant& value, const QLocale& locale) const override;
};
