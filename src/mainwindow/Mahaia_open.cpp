// What the desktop hands the bar: files opened with the program, from its command line, from a
// later instance or through MPRIS. Each goes through the playlist window's own commands, so the
// unsaved mark and the save question work as when the user adds or opens by hand.
#include "Mahaia.h"
#include "frame/FileError.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/zerrenda.h"

namespace {

bool isPlaylistFile(const QString& path)
{
    return path.endsWith(QStringLiteral(".m3u"), Qt::CaseInsensitive) ||
           path.endsWith(QStringLiteral(".m3u8"), Qt::CaseInsensitive);
}

} // namespace

// Taken in the order given: songs are appended, a list replaces the playlist. The song played
// is the first one the files brought that is still in the list: the first of a list opened,
// or else the first song appended.
void Mahaia::OpenFiles(const QStringList& paths)
{
    zerrenda& playlist = Form<zerrenda>();
    int first = 0;
    QStringList songs;
    const auto addSongs = [&] {
        if (songs.isEmpty())
            return;
        const int before = playlist.ListCount();
        playlist.addSongs(songs);
        if (first == 0 && playlist.ListCount() > before)
            first = before + 1;
        songs.clear();
    };
    for (const QString& path : paths) {
        if (const QString why = FileError::unreadable(path); !why.isEmpty()) {
            MsgBox::Show(QStringLiteral("Ezin izan da ireki: ") + why,
                         MsgBox::OkOnly + MsgBox::Critical, QStringLiteral("Okerra"));
        } else if (isPlaylistFile(path)) {
            addSongs();
            if (playlist.OpenListFile(path))
                first = 1;
        } else {
            songs << path;
        }
    }
    addSongs();
    if (first > 0 && first <= playlist.ListCount())
        OpenTrack(first);
}
