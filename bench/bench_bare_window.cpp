// The yardstick for start-up and memory: a bare Qt 6 window of the splash's size, nothing else.
// With "dialogs" it also opens Qt's file dialog for opening and for saving, once each, and
// closes them, as the program's open and save do: what Qt alone keeps after them. With "text"
// the window shows a line of text, which brings in the fonts and text shaping the bar needs.
#include <QApplication>
#include <QFileDialog>
#include <QLabel>
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
    text.setVisible(mode == "text");
    window.show();
    if (mode == "dialogs") {
        QTimer::singleShot(0, [] {
            openAndClose(QFileDialog::AcceptOpen);
            openAndClose(QFileDialog::AcceptSave);
        });
    }
    return QApplication::exec();
}
