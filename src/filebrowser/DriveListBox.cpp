#include "DriveListBox.h"

#include "frame/PathBytes.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QDir>
#include <QStorageInfo>

namespace {

// A combo box called by its own name ("Unitatea") with the chosen drive as its value. Qt on
// Linux calls a combo box by its current text and leaves the name to a label beside it, and
// the browser has no such label.
class DriveListAccessible : public QAccessibleWidget {
public:
    explicit DriveListAccessible(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value ||
            (kind == QAccessible::Name && widget()->accessibleName().isEmpty()))
            return box()->currentText();
        return QAccessibleWidget::text(kind);
    }
    [[nodiscard]] int childCount() const override { return 1; }
    [[nodiscard]] QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    [[nodiscard]] int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child != nullptr && child->object() == box()->view() ? 0 : -1;
    }
    [[nodiscard]] QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == showMenuAction())
            box()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    [[nodiscard]] QComboBox* box() const { return static_cast<QComboBox*>(widget()); }
};

QAccessibleInterface* accessibleDriveList(const QString& key, QObject* object)
{
    if (key != QLatin1String("DriveListBox"))
        return nullptr;
    return new DriveListAccessible(qobject_cast<QComboBox*>(object));
}

} // namespace

DriveListBox::DriveListBox(QWidget* parent) : QComboBox(parent)
{
    QAccessible::installFactory(accessibleDriveList);
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
