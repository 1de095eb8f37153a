#include "Egilea.h"

#include "LinkLabel.h"
#include "frame/Design.h"
#include "frame/Pictures.h"
#include "frame/Shell.h"

#include <QCursor>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>

namespace {
// Where the pointing finger of the link cursor touches.
constexpr QPoint LinkCursorHotSpot{11, 1};
} // namespace

Egilea::Egilea() : FormWindow(QStringLiteral("Egilea"), 2730, 1905, FrameStyle::Thin)
{
    setWindowTitle(QStringLiteral("Egilea"));
    setBackgroundColour(Qt::black);
    Imaegi = new QLabel(this);
    Imaegi->setObjectName(QStringLiteral("Imaegi"));
    Imaegi->setAccessibleName(QStringLiteral("IxoMp3 taldearen logoa"));
    Imaegi->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The logo picture is 15 twips wider than the client area leaves it; its last column
    // is cut there rather than laid over the frame.
    place(Imaegi, 60, 60, 2700, 1050);

    // Both addresses fit their labels in the window's font (Arial's widths).
    lblURL.at(1) = link(QStringLiteral("ixomp3.example.org"), 1);
    place(lblURL.at(1), 525, 1080, 1770, 195);
    lblURL.at(0) = link(QStringLiteral("ixomp3@example.org"), 0);
    place(lblURL.at(0), 420, 1320, 1860, 195);

    cmdok = new QPushButton(QStringLiteral("Ados!"), this);
    cmdok->setObjectName(QStringLiteral("cmdok"));
    cmdok->setFont(Design::dialogFont());
    place(cmdok, 900, 1620, 915, 255);
    cmdok->setFocus();
    connect(cmdok, &QPushButton::clicked, this, &Egilea::cmdok_Click);
    // "Ados!" comes first, then the addresses in the order they stand; Escape closes as
    // "Ados!" does.
    setTabOrder(cmdok, lblURL.at(1));
    setTabOrder(lblURL.at(1), lblURL.at(0));
    connect(new QShortcut(Qt::Key_Escape, this), &QShortcut::activated, this, &Egilea::cmdok_Click);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    showPictures();
}

// The logo and the pointer drawn for the screen's scale; they are picked again whenever the
// window is shown, which is when it may have come to another screen.
void Egilea::showPictures()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_picturesRatio)
        return;
    m_picturesRatio = ratio;
    Imaegi->setPixmap(m_logo.forRatio(ratio));
    if (!m_pointer.isNull()) {
        const QCursor pointer(m_pointer.forRatio(ratio), LinkCursorHotSpot.x(),
                              LinkCursorHotSpot.y());
        for (QLabel* label : lblURL)
            label->setCursor(pointer);
    }
}

void Egilea::showEvent(QShowEvent* event)
{
    showPictures();
    FormWindow::showEvent(event);
}

LinkLabel* Egilea::link(const QString& caption, int index)
{
    auto* label = new LinkLabel(caption, this);
    label->setObjectName(QStringLiteral("lblURL(%1)").arg(index));
    QFont font = Design::dialogFont();
    font.setUnderline(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Design::LinkBlue);
    label->setPalette(colours);
    connect(label, &LinkLabel::Click, this, [this, index] { lblURL_Click(index); });
    return label;
}

// The e-mail address starts a message; the web address goes to the browser as it stands.
void Egilea::lblURL_Click(int Index)
{
    if (Index == 0)
        Shell::Execute(QStringLiteral("Open"), QStringLiteral("mailto:") + lblURL.at(0)->text());
    else if (Index == 1)
        Shell::Execute(QStringLiteral("Open"), lblURL.at(1)->text());
}

void Egilea::cmdok_Click()
{
    hide();
}
