#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QFrame;
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
// Liberation Sans (metric-compatible with Arial) stands in at the same pixel size, and failing
// that fontconfig's sans-serif.
QFont displayFont();
QFont dialogFont();

// A teal display label with a single-line border and centred text.
QLabel* displayLabel(QWidget* parent, const QString& name, const QString& caption);
// A rectangle with a solid teal fill and a one-pixel outline.
QFrame* rectangle(QWidget* parent, const QString& name);

QTimer* timer(QObject* parent, const QString& name, int intervalMs, bool enabled);

// Teal background and black text for the list controls.
void paintTeal(QWidget* control);

} // namespace Design
