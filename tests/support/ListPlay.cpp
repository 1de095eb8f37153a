#include "ListPlay.h"

#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"

#include <QLabel>
#include <QListWidget>

MediaComponent& ListPlay::start(const QStringList& songs)
{
    Form<zerrenda>().lista->addItems(songs);
    Mahaia& bar = Form<Mahaia>();
    bar.Timi_Timer();
    bar.Imahasi_MouseUp();
    return *Form<extrak>().Medi;
}

QString ListPlay::counter()
{
    return Form<Mahaia>().Lblabe->text();
}
