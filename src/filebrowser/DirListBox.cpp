#include "DirListBox.h"

#include "frame/PathBytes.h"

#include <QDir>

namespace {
constexpr int FolderRole = Qt::UserRole;
constexpr int IndentSpaces = 2;
} // namespace

DirListBox::DirListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemActivated, this,
            [this](const QListWidgetItem* item) { setPath(folderOf(item)); });
}

QString DirListBox::folderOf(const QListWidgetItem* item)
{
    return item == nullptr ? QString() : item->data(FolderRole).toString();
}

// Folders are named through their bytes (frame/PathBytes), so one whose name is not UTF-8 can
// be entered; paths are taken apart as text, never asked of QDir, which would re-encode them.
bool DirListBox::setPath(const QString& folder)
{
    if (!PathBytes::canEnter(folder))
        return false;
    const QString path = QDir::cleanPath(
        QDir::isAbsolutePath(folder) ? folder : PathBytes::currentFolder() + u'/' + folder);
    const bool changed = path != m_path;
    m_path = path;
    fill();
    if (changed)
        emit Change();
    return true;
}

void DirListBox::addEntry(const QString& folder, const QString& caption, int depth)
{
    auto* item = new QListWidgetItem(QString(qsizetype(depth) * IndentSpaces, QLatin1Char(' ')) +
                                     PathBytes::displayText(caption));
    item->setData(FolderRole, folder);
    addItem(item);
}

void DirListBox::fill()
{
    clear();
    QStringList chain;
    for (QString at = m_path;;) {
        chain.prepend(at);
        const qsizetype slash = at.lastIndexOf(u'/');
        if (slash < 0 || at == QDir::rootPath())
            break;
        at = slash == 0 ? QDir::rootPath() : at.left(slash);
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = folder.mid(folder.lastIndexOf(u'/') + 1);
        addEntry(folder, name.isEmpty() ? QDir::toNativeSeparators(folder) : name, depth++);
    }
    setCurrentRow(count() - 1);
    const QString parent = m_path.endsWith(u'/') ? m_path : m_path + u'/';
    const QStringList children = PathBytes::entries(m_path, PathBytes::Kind::Folder);
    for (const QString& child : children)
        addEntry(parent + child, child, depth);
}
