// Saving the playlist to a file and opening one in its place. Neither ever loses a list: a
// save that fails leaves the old file and the unsaved mark as they were, and an open replaces
// the list only once the whole file was read.
#include "PlaylistFile.h"
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "zerrenda.h"

#include <QListWidget>
#include <QScopedValueRollback>

namespace {

constexpr int OpenFlags = CommonDialog::LongNames + CommonDialog::Explorer +
                          CommonDialog::FileMustExist + CommonDialog::HideReadOnly;
constexpr int SaveFlags = OpenFlags + CommonDialog::OverwritePrompt;

QString playlistFilter()
{
    return QStringLiteral("Mp3 zerrenda (*.m3u)|*.m3u");
}

void complain(const QString& what, const QString& why)
{
    MsgBox::Show(what + why, MsgBox::OkOnly + MsgBox::Critical, QStringLiteral("Okerra"));
}

} // namespace

bool zerrenda::Imagord_baziak()
{
    if (m_fileCommandRunning)
        return false;
    const QScopedValueRollback running(m_fileCommandRunning, true);
    return saveList();
}

bool zerrenda::imairek_baziak()
{
    if (m_fileCommandRunning)
        return false;
    const QScopedValueRollback running(m_fileCommandRunning, true);
    return openList();
}

bool zerrenda::saveList()
{
    LoadButtonIcon(Imagord, QStringLiteral("gorde.ico"));
    diago->Flags = SaveFlags;
    diago->Filter = playlistFilter();
    diago->DialogTitle = QStringLiteral("Gorde...");
    if (!diago->ShowSave())
        return false;
    const QString path = diago->FileName;
    QStringList items;
    items.reserve(ListCount());
    for (int row = 0; row < ListCount(); ++row)
        items << lista->item(row)->text();
    if (const QString why = PlaylistFile::write(path, items); !why.isEmpty()) {
        complain(QStringLiteral("Ezin izan da zerrenda gorde: "), why);
        return false;
    }
    Imagord->hide();
    savedCount = static_cast<qint16>(ListCount());
    return true;
}

bool zerrenda::openList()
{
    diago->Flags = OpenFlags;
    diago->DialogTitle = QStringLiteral("Ireki...");
    diago->Filter = playlistFilter();
    if (!diago->ShowOpen())
        return false;
    const QString path = diago->FileName;
    PlaylistFile::ReadResult file = PlaylistFile::read(path);
    if (!file.error.isEmpty()) {
        complain(QStringLiteral("Ezin izan da zerrenda ireki: "), file.error);
        return false;
    }
    {
        const QSignalBlocker quiet(lista);
        lista->clear();
    }
    appendItems(file.items);
    Imagord->hide();
    savedCount = static_cast<qint16>(ListCount());
    return true;
}

void zerrenda::Imagord_MouseUp()
{
    Imagord_baziak();
}

// Over unsaved changes the user is asked first. The list is replaced only by an open that
// succeeds, so a cancelled dialog after "No" still keeps the list and its unsaved mark.
void zerrenda::Imairek_MouseUp()
{
    LoadButtonIcon(Imairek, QStringLiteral("ireki.ico"));
    if (m_fileCommandRunning)
        return;
    const QScopedValueRollback running(m_fileCommandRunning, true);
    if (mayReplaceList())
        openList();
}
