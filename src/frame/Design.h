#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QLabel;
class QTimer;
class QWidget;
class QObject;

// The look shared by the window layouts: colours, fonts and the few kinds of control that
// several windows carry.
namespace Design {

inline const QColor Teal{0, 192, 192};
inline const QColor LinkBlue{0, 0, 192};

// Arial 6.75 pt and MS Sans Serif 8.25 pt at 96 dots per inch. Where a family is missing,
// fontconfig's sans-serif stands in at the same pixel size.
QFont displayFont();
QFont dialogFont();

// A teal display label with a single-line border and centred text.
QLabel* displayLabel(QWidget* parent, const QString& name, const QString& caption);

QTimer* timer(QObject* parent, const QString& name, int intervalMs, bool enabled);

// Teal background and black text for the list controls.
void paintTeal(QWidget* control);

} // namespace Design
