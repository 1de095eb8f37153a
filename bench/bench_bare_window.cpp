// The yardstick for start-up: a bare Qt 6 window of the splash's size, nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::Tool | Qt::FramelessWindowHint);
    window.setFixedSize(104, 102);
    window.show();
    return QApplication::exec();
}
