#include "CommonDialog.h"

#include "WindowRegistry.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPixmapCache>
#include <QTimer>
#include <malloc.h>

namespace {

// A closed file dialog leaves its icons in the pixmap cache and its freed model and caches in
// pages the allocator keeps; handing both back takes about 0.9 MB off a player that has used a
// dialog once. Run from the event loop, after what the dialog left to be deleted later.
void releaseDialogMemory()
{
    QPixmapCache::clear();
    malloc_trim(0);
}

} // namespace

QStringList CommonDialog::nameFilters() const
{
    const QStringList parts = Filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype at = 0; at + 1 < parts.size(); at += 2) {
        const QString& description = parts.at(at);
        const QString pattern = QStringLiteral("(") + parts.at(at + 1) + QStringLiteral(")");
        filters << (description.contains(pattern) ? description
                                                  : description + QLatin1Char(' ') + pattern);
    }
    return filters;
}

bool CommonDialog::show(Kind kind)
{
    const auto& chooser = WindowRegistry::instance().answers().dialog;
    const QString chosen = chooser ? chooser(*this, kind) : runDialog(kind);
    if (!chooser)
        QTimer::singleShot(0, &releaseDialogMemory);
    if (chosen.isEmpty())
        return false;
    choose(chosen);
    return true;
}

void CommonDialog::choose(const QString& path)
{
    FileName = path;
    QDir::setCurrent(QFileInfo(path).absolutePath());
}

QString CommonDialog::runDialog(Kind kind) const
{
    QFileDialog dialog(nullptr, DialogTitle);
    dialog.setNameFilters(nameFilters());
    dialog.setAcceptMode(kind == Kind::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode((Flags & FileMustExist) != 0 && kind == Kind::Open
                           ? QFileDialog::ExistingFile
                           : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (Flags & OverwritePrompt) == 0);
    dialog.setOption(QFileDialog::ReadOnly, false);
    if (!FileName.isEmpty()) {
        dialog.setDirectory(QFileInfo(FileName).absolutePath());
        dialog.selectFile(FileName);
    } else if (!InitDir.isEmpty()) {
        dialog.setDirectory(InitDir);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}
