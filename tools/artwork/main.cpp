#include <QDir>
#include <QGuiApplication>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out + QStringLiteral("/irudiak"));
    QDir().mkpath(out + QStringLiteral("/pictures"));
    return 0;
}
