#include "DriveListBox.h"

#include "frame/PathBytes.h"

#include <QDir>
#include <QStorageInfo>

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    setDrives(mountedDrives());
    setDrive(PathBytes::currentFolder());
    connect(this, &QComboBox::activated, this, [this] { emit Change(); });
}

QStringList DriveListBox::mountedDrives()
{
    QStringList roots{QDir::rootPath()};
    const QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    for (const QStorageInfo& volume : volumes) {
        const QString root = volume.rootPath();
        if (volume.isValid() && !roots.contains(root))
            roots << root;
    }
    return roots;
}

void DriveListBox::setDrives(const QStringList& roots)
{
    const QSignalBlocker quiet(this);
    clear();
    addItems(roots);
}

QString DriveListBox::Drive() const
{
    return currentText();
}

// The drive that holds a path is the longest offered root the path lies under.
QString DriveListBox::driveOf(const QString& path, const QStringList& roots)
{
    QString best;
    const QString cleaned = QDir::cleanPath(path);
    for (const QString& root : roots) {
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        const bool under = cleaned == QDir::cleanPath(root) || cleaned.startsWith(prefix);
        if (under && root.size() > best.size())
            best = root;
    }
    return best;
}

QString DriveListBox::driveHolding(const QString& path) const
{
    QStringList roots;
    for (int index = 0; index < count(); ++index)
        roots << itemText(index);
    return driveOf(path, roots);
}

void DriveListBox::setDrive(const QString& path)
{
    QString drive = driveHolding(path);
    if (drive.isEmpty()) {
        drive = path;
        addItem(drive);
    }
    const bool changed = drive != Drive();
    setCurrentIndex(findText(drive));
    if (changed)
        emit Change();
}
