#include "MsgBox.h"

#include "WindowRegistry.h"

#include <QApplication>
#include <QMessageBox>

namespace MsgBox {

namespace {

QMessageBox::StandardButtons buttonsOf(int style)
{
    switch (style & 7) {
    case YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case Critical:
        return QMessageBox::Critical;
    case Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

int answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Yes;
    case QMessageBox::No:
        return No;
    case QMessageBox::Retry:
        return Retry;
    case QMessageBox::Ok:
        return Ok;
    default:
        return Cancel;
    }
}

} // namespace

int Show(const QString& prompt, int style, const QString& title)
{
    if (const auto& answerer = WindowRegistry::instance().answers().message)
        return answerer(prompt, style, title);
    QMessageBox box(iconOf(style), title, prompt, buttonsOf(style));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    return answerOf(box.exec());
}

void Beep()
{
    QApplication::beep();
}

} // namespace MsgBox
