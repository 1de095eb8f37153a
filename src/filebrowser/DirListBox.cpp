#include "DirListBox.h"

#include <QDir>
#include <QFileInfo>

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

bool DirListBox::setPath(const QString& folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isExecutable())
        return false;
    const QString path = QDir::cleanPath(info.absoluteFilePath());
    const bool changed = path != m_path;
    m_path = path;
    fill();
    if (changed)
        emit Change();
    return true;
}

void DirListBox::addEntry(const QString& folder, const QString& caption, int depth)
{
    auto* item =
        new QListWidgetItem(QString(qsizetype(depth) * IndentSpaces, QLatin1Char(' ')) + caption);
    item->setData(FolderRole, folder);
    addItem(item);
}

void DirListBox::fill()
{
    clear();
    QStringList chain;
    for (QDir at(m_path);;) {
        chain.prepend(at.absolutePath());
        if (at.isRoot() || !at.cdUp())
            break;
    }
    int depth = 0;
    for (const QString& folder : chain) {
        const QString name = QFileInfo(folder).fileName();
        addEntry(folder, name.isEmpty() ? QDir::toNativeSeparators(folder) : name, depth++);
    }
    setCurrentRow(count() - 1);
    const QDir here(m_path);
    const QStringList children =
        here.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& child : children)
        addEntry(here.filePath(child), child, depth);
}
