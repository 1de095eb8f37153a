#include "artxiboak.h"

#include "DirListBox.h"
#include "DriveListBox.h"
#include "FileListBox.h"
#include "frame/ButtonRow.h"
#include "frame/CommonDialog.h"
#include "frame/Design.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/PathBytes.h"
#include "frame/Pictures.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playlist/zerrenda.h"

#include <QDir>

namespace {

constexpr std::array<ButtonRow<artxiboak>, 2> BrowserButtons{{
    {&artxiboak::Imagehitu, u"Imagehitu", 2520, 3240, u"gehitu", u"Gehitu", false,
     &artxiboak::Imagehitu_MouseUp},
    {&artxiboak::Imautzi, u"Imautzi", 2790, 3240, u"irten", u"Itxi", true,
     &artxiboak::Imautzi_MouseUp},
}};

} // namespace

artxiboak::artxiboak() : FormWindow(QStringLiteral("artxiboak"), 3090, 3495, FrameStyle::Thin)
{
    setWindowTitle(QStringLiteral("Artxiboak"));
    setBackgroundPicture(Pictures::Scaled(QStringLiteral("artxiboak.png")));
    unitatea = new DriveListBox(this);
    unitatea->setObjectName(QStringLiteral("unitatea"));
    karpeta = new DirListBox(this);
    karpeta->setObjectName(QStringLiteral("karpeta"));
    artxi = new FileListBox(this);
    artxi->setObjectName(QStringLiteral("artxi"));
    for (QWidget* list : {static_cast<QWidget*>(unitatea), static_cast<QWidget*>(karpeta),
                          static_cast<QWidget*>(artxi)})
        Design::paintTeal(list);
    place(unitatea, 0, 0, 3075, 315);
    place(karpeta, 0, 315, 3075, 1440);
    place(artxi, 0, 1755, 3075, 1455);
    artxi->setPattern(QStringLiteral("*.mp3"));
    karpeta->setPath(PathBytes::currentFolder());
    artxi->setPath(karpeta->Path());

    unitatea->setAccessibleName(QStringLiteral("Unitatea"));
    karpeta->setAccessibleName(QStringLiteral("Karpeta"));
    artxi->setAccessibleName(QStringLiteral("Artxiboak"));

    buildButtons(BrowserButtons);
    // Return in the file list adds its selection; in the folder list it opens a folder.
    keysForButton(this, {Qt::Key_Return, Qt::Key_Enter}, Imagehitu, &artxiboak::Imagehitu_MouseUp,
                  artxi);
    keysForButton(this, {Qt::Key_Escape}, Imautzi, &artxiboak::Imautzi_MouseUp);

    connect(unitatea, &DriveListBox::Change, this, &artxiboak::unitatea_Change);
    connect(karpeta, &DirListBox::Change, this, &artxiboak::karpeta_Change);
    connect(artxi, &FileListBox::PathChange, this, &artxiboak::artxi_PathChange);
    connect(artxi, &FileListBox::Click, this, &artxiboak::artxi_Click);
}

// Sits on top of the main bar, over the playlist window, wherever the bar is now.
void artxiboak::Form_Load()
{
    standOn(Form<Mahaia>());
}

void artxiboak::Form_Activate()
{
    Form<zerrenda>().diago->InitDir = QDir::homePath();
}

// The dialogs' starting folder is set on every activation; before the first one it is still
// empty, and an empty drive would only fail again. The home folder is the one place a user can
// always read.
QString artxiboak::fallbackDrive()
{
    const QString start = Form<zerrenda>().diago->InitDir;
    return start.isEmpty() ? QDir::homePath() : start;
}

// A drive that cannot be opened asks to try again; giving up goes back to the drive of the
// dialogs' starting folder. Choosing again the drive the folder list is on keeps its folder, as
// a drive keeps its current folder where drives have one.
void artxiboak::unitatea_Change()
{
    const auto target = [this] {
        const QString drive = unitatea->Drive();
        return unitatea->driveHolding(karpeta->Path()) == drive ? karpeta->Path() : drive;
    };
    while (!karpeta->setPath(target())) {
        MsgBox::Beep();
        const int answer =
            MsgBox::Show(QStringLiteral("unitate hutsa..."), MsgBox::RetryCancel + MsgBox::Critical,
                         QStringLiteral("Okerra"));
        if (answer != MsgBox::Retry) {
            unitatea->setDrive(fallbackDrive());
            return;
        }
    }
}

void artxiboak::karpeta_Change()
{
    artxi->setPath(karpeta->Path());
}

void artxiboak::artxi_PathChange()
{
    if (artxi->ListCount() == 0)
        Imagehitu->hide();
}

void artxiboak::artxi_Click()
{
    if (artxi->ListCount() > 0)
        Imagehitu->setVisible(artxi->selectionModel()->hasSelection());
}

// Appends every selected file, in the file list's order, marks the playlist as changed and
// destroys the browser, so the next opening starts afresh.
void artxiboak::Imagehitu_MouseUp()
{
    LoadButtonIcon(Imagehitu, QStringLiteral("gehitu.ico"));
    zerrenda& playlist = Form<zerrenda>();
    // The root folder already ends in a separator and so gives two; paths stay as formed.
    const QString folder = QDir::toNativeSeparators(artxi->Path()) + QDir::separator();
    QStringList chosen;
    const QList<int> rows = artxi->selectedRows();
    for (int index : rows)
        chosen << folder + artxi->List(index);
    playlist.addSongs(chosen);
    WindowRegistry::instance().unload<artxiboak>();
}

// Hiding keeps the drive, folder and selection for the next opening.
void artxiboak::Imautzi_MouseUp()
{
    LoadButtonIcon(Imautzi, QStringLiteral("irten.ico"));
    hide();
}
