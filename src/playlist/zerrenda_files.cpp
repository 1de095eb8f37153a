// Saving the playlist to a file, and opening one or starting an empty one in its place. None
// ever loses a list: a save that fails leaves the old file and the unsaved mark as they were,
// and an open replaces the list only once the whole file was read.
#include "PlaylistFile.h"
#include "frame/CommonDialog.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "zerrenda.h"

#include <QListWidget>
#include <QScopedValueRollback>
#include <functional>

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
    return runFileCommand([this] { return saveList(); });
}

bool zerrenda::imairek_baziak()
{
    return runFileCommand([this] { return openList(); });
}

bool zerrenda::runFileCommand(const std::function<bool()>& command)
{
    if (m_fileCommandRunning)
        return false;
    const QScopedValueRollback running(m_fileCommandRunning, true);
    return command();
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
    if (const Result<void> saved = PlaylistFile::write(path, items); !saved) {
        complain(QStringLiteral("Ezin izan da zerrenda gorde: "), saved.error());
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
    return readList(diago->FileName);
}

bool zerrenda::OpenListFile(const QString& path)
{
    return replaceList([this, &path] {
        diago->choose(path);
        return readList(path);
    });
}

bool zerrenda::readList(const QString& path)
{
    Result<QStringList> items = PlaylistFile::read(path);
    if (!items) {
        complain(QStringLiteral("Ezin izan da zerrenda ireki: "), items.error());
        return false;
    }
    {
        const QSignalBlocker quiet(lista);
        lista->clear();
    }
    appendItems(*items);
    Imagord->hide();
    savedCount = static_cast<qint16>(ListCount());
    return true;
}

void zerrenda::Imagord_MouseUp()
{
    Imagord_baziak();
}

void zerrenda::Imaberr_MouseUp()
{
    LoadButtonIcon(Imaberr, QStringLiteral("berria.ico"));
    replaceList([this] { return emptyList(); });
}

void zerrenda::Imairek_MouseUp()
{
    LoadButtonIcon(Imairek, QStringLiteral("ireki.ico"));
    replaceList([this] { return openList(); });
}

// Over unsaved changes the user is asked first. The list is replaced only by a fill that
// succeeds, so a cancelled open dialog after "No" still keeps the list and its unsaved mark.
bool zerrenda::replaceList(const std::function<bool()>& fill)
{
    return runFileCommand([this, &fill] { return mayReplaceList() && fill(); });
}

// A list without unsaved changes may go at once; a changed one once it was saved or the user
// said No. A save that was cancelled or failed keeps it.
bool zerrenda::mayReplaceList()
{
    if (Imagord->isHidden())
        return true;
    const int answer = askToSaveFirst();
    if (answer == MsgBox::Yes)
        return saveList();
    return answer == MsgBox::No;
}

// Asked before a list with unsaved changes is replaced, by a new list or an opened file.
int zerrenda::askToSaveFirst()
{
    return MsgBox::Show(QStringLiteral("Gorde nahi duzu zerrenda hau?"),
                        MsgBox::YesNoCancel + MsgBox::Question, QStringLiteral("Ireki..."));
}

bool zerrenda::emptyList()
{
    {
        const QSignalBlocker quiet(lista);
        lista->clear();
    }
    savedCount = 0;
    Imagord->hide();
    Imakend->hide();
    Imagora->hide();
    Imabera->hide();
    return true;
}
