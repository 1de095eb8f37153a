#include "FileListBox.h"

#include "frame/ListSelection.h"
#include "frame/PathBytes.h"
#include "frame/PathItemDelegate.h"

namespace {

// `*` stands for any run of characters and `?` for any one, without regard to case. A regular
// expression would do as well, but would keep its engine in memory for the one "*.mp3".
bool matches(QStringView pattern, QStringView name)
{
    qsizetype at = 0;
    qsizetype star = -1;
    qsizetype resume = 0;
    for (qsizetype in = 0; in < name.size();) {
        if (at < pattern.size() && pattern[at] == u'*') {
            star = at++;
            resume = in;
        } else if (at < pattern.size() &&
                   (pattern[at] == u'?' || pattern[at].toCaseFolded() == name[in].toCaseFolded())) {
            ++at;
            ++in;
        } else if (star >= 0) {
            at = star + 1;
            in = ++resume;
        } else {
            return false;
        }
    }
    while (at < pattern.size() && pattern[at] == u'*')
        ++at;
    return at == pattern.size();
}

} // namespace

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
    QStringList names = PathBytes::entries(m_path, PathBytes::Kind::File);
    names.removeIf([this](const QString& name) { return !matches(m_pattern, name); });
    addItems(names);
}
