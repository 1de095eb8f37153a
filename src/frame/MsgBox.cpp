#include "MsgBox.h"

#include "WindowRegistry.h"

#include <QAbstractButton>
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

// The program speaks Basque and Qt has no Basque of its own, so the standard buttons are named
// here; the letter after "&" answers from the keyboard.
void nameButtons(QMessageBox& box)
{
    const std::pair<QMessageBox::StandardButton, QString> captions[] = {
        {QMessageBox::Yes, QStringLiteral("&Bai")},
        {QMessageBox::No, QStringLiteral("&Ez")},
        {QMessageBox::Cancel, QStringLiteral("&Utzi")},
        {QMessageBox::Retry, QStringLiteral("&Berriro saiatu")},
        {QMessageBox::Ok, QStringLiteral("&Ados")}};
    for (const auto& [which, caption] : captions) {
        if (QAbstractButton* button = box.button(which))
            button->setText(caption);
    }
}

} // namespace

int Show(const QString& prompt, int style, const QString& title)
{
    if (const auto& answerer = WindowRegistry::instance().answers().message)
        return answerer(prompt, style, title);
    QMessageBox box(iconOf(style), title, prompt, buttonsOf(style));
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    nameButtons(box);
    return answerOf(box.exec());
}

void Beep()
{
    QApplication::beep();
}

} // namespace MsgBox
