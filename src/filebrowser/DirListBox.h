#pragma once

#include <QListWidget>

// The folder list: the open folder's ancestors from the root down, then its sub-folders,
// indented by depth. Opening an entry (double click or Enter) makes it the Path and raises
// Change. A folder that cannot be read shows no sub-folders.
class DirListBox : public QListWidget {
    Q_OBJECT

public:
    explicit DirListBox(QWidget* parent);

    [[nodiscard]] const QString& Path() const { return m_path; }
    // False, changing nothing, when the folder does not exist or cannot be opened.
    bool setPath(const QString& folder);

    // The folder an entry stands for.
    [[nodiscard]] static QString folderOf(const QListWidgetItem* item);

signals:
    void Change();

private:
    void fill();
    void addEntry(const QString& folder, const QString& caption, int depth);

    QString m_path;
};
