#include "Egilea.h"

#include "frame/Design.h"
#include "frame/Pictures.h"
#include "frame/Shell.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>

namespace {
// Where the pointing finger of the link cursor touches.
constexpr QPoint LinkCursorHotSpot{11, 1};
} // namespace

Egilea::Egilea() : FormWindow(QStringLiteral("Egilea"), 2730, 1905, FrameStyle::Thin)
{
    setBackgroundColour(Qt::black);
    Imaegi = new QLabel(this);
    Imaegi->setObjectName(QStringLiteral("Imaegi"));
    Imaegi->setPixmap(Pictures::designPicture(QStringLiteral("egilea.png")));
    Imaegi->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(Imaegi, 60, 60, 2700, 1050);

    lblURL.at(1) = link(QStringLiteral("ixomp3.example.org"), 1);
    place(lblURL.at(1), 525, 1080, 1770, 195);
    lblURL.at(0) = link(QStringLiteral("taldea@ixomp3.example.org"), 0);
    place(lblURL.at(0), 420, 1320, 1860, 195);

    cmdok = new QPushButton(QStringLiteral("Ados!"), this);
    cmdok->setObjectName(QStringLiteral("cmdok"));
    cmdok->setFont(Design::dialogFont());
    place(cmdok, 900, 1620, 915, 255);
    cmdok->setFocus();
    connect(cmdok, &QPushButton::clicked, this, &Egilea::cmdok_Click);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
}

QLabel* Egilea::link(const QString& caption, int index)
{
    auto* label = new QLabel(caption, this);
    label->setObjectName(QStringLiteral("lblURL(%1)").arg(index));
    QFont font = Design::dialogFont();
    font.setUnderline(true);
    label->setFont(font);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
    QPalette colours = label->palette();
    colours.setColor(QPalette::WindowText, Design::LinkBlue);
    label->setPalette(colours);
    const QPixmap pointer = Pictures::designPicture(QStringLiteral("lotura.png"));
    if (!pointer.isNull())
        label->setCursor(QCursor(pointer, LinkCursorHotSpot.x(), LinkCursorHotSpot.y()));
    label->installEventFilter(this);
    return label;
}

bool Egilea::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        for (int index = 0; index < int(lblURL.size()); ++index) {
            if (watched == lblURL.at(index))
                lblURL_Click(index);
        }
    }
    return FormWindow::eventFilter(watched, event);
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
