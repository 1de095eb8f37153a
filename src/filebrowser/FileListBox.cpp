#include "FileListBox.h"

#include "frame/ListSelection.h"
#include "frame/PathBytes.h"
#include "frame/PathItemDelegate.h"

#include <QRegularExpression>

FileListBox::FileListBox(QWidget* parent) : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setUniformItemSizes(true);
    // An item is the name as it is on the disk, so the path added from it opens that file.
    setItemDelegate(new PathItemDelegate(this));
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

// A folder that cannot be read lists nothing. The folder is read through the names' bytes:
// QDir reads them as UTF-8 and leaves out a name that is not.
void FileListBox::reload()
{
    const QSignalBlocker quiet(this);
    clear();
    if (m_path.isEmpty())
        return;
    const QRegularExpression pattern(QRegularExpression::wildcardToRegularExpression(m_pattern),
                                     QRegularExpression::CaseInsensitiveOption);
    QStringList names = PathBytes::entries(m_path, PathBytes::Kind::File);
    // A lone surrogate is not valid UTF-16 to the expression, so the shown name is matched;
    // it has one character for each of the name's.
    names.removeIf([&pattern](const QString& name) {
        return !pattern.match(PathBytes::displayText(name)).hasMatch();
    });
    addItems(names);
}
