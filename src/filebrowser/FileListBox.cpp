#include "FileListBox.h"

#include "frame/ListSelection.h"

#include <QDir>

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    // A click that leaves the selection as it was still counts: the list may have changed since.
    connect(this, &QListWidget::itemSelectionChanged, this, &FileListBox::Click);
    connect(this, &QAbstractItemView::clicked, this, &FileListBox::Click);
}

void FileListBox::setPath(const QString& folder)
{
    m_path = folder;
    reload();
    emit PathChange();
}

void FileListBox::setPattern(const QString& pattern)
{
    m_pattern = pattern;
    reload();
}

QString FileListBox::List(int index) const
{
    const QListWidgetItem* entry = item(index);
    return entry == nullptr ? QString() : entry->text();
}

QList<int> FileListBox::selectedRows() const
{
    return ListSelection::rows(selectionModel(), count());
}

// A folder that cannot be read lists nothing.
void FileListBox::reload()
{
    const QSignalBlocker quiet(this);
    clear();
    if (m_path.isEmpty())
        return;
    QDir folder(m_path);
    folder.setNameFilters({m_pattern});
    addItems(folder.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
}
