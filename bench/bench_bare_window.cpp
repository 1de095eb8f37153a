// The yardstick for start-up and memory: a bare Qt 6 window of the splash's size, nothing else.
// With "dialogs" it also opens Qt's file dialog for opening and for saving, once each, and
// closes them, as the program's open and save do: what Qt alone keeps after them. With "text"
// the window shows a line of text, which brings in the fonts and text shaping the bar needs.
// "controls" adds, in a window kept hidden, one of each standard control the program's hidden
// windows hold: what Qt's code for them costs before the program's own.
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

namespace {

void openAndClose(QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(nullptr, QStringLiteral("Ireki..."));
    dialog.setAcceptMode(mode);
    dialog.setNameFilters({QStringLiteral("Zerrendak (*.m3u)")});
    QTimer::singleShot(1000, &dialog, &QDialog::reject);
    dialog.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window.setFixedSize(104, 102);
    const QByteArrayView mode = argc > 1 ? QByteArrayView(argv[1]) : QByteArrayView();
    QLabel text(QStringLiteral("Ez dago abestirik..."), &window);
    text.setVisible(mode == "text" || mode == "controls");
    window.show();
    QWidget hidden;
    if (mode == "controls") {
        auto* list = new QListWidget(&hidden);
        list->addItems({QStringLiteral("a.mp3"), QStringLiteral("b.mp3")});
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        (new QComboBox(&hidden))->addItem(QStringLiteral("/"));
        new QPushButton(QStringLiteral("Ados!"), &hidden);
        auto* menu = new QMenu(&hidden);
        for (const char* item : {"Haundiagotu", "Aurrera", "Amaitu", "Gelditu", "Hasi", "Atzera"})
            menu->addAction(QString::fromLatin1(item));
        hidden.ensurePolished();
    }
    if (mode == "dialogs") {
        QTimer::singleShot(0, [] {
            openAndClose(QFileDialog::AcceptOpen);
            openAndClose(QFileDialog::AcceptSave);
        });
    }
    return QApplication::exec();
}
