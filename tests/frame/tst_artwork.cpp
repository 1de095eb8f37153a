// The pictures the build draws beside the executables: every button has normal, pressed and
// built-in icons at 16 and 32 pixels, told apart from each other, and every picture has the
// size the windows are laid out around, and twice that size drawn anew for scaled screens.
#include "frame/Pictures.h"

#include <QCoreApplication>
#include <QIcon>
#include <QImageReader>
#include <QPixmap>
#include <QTest>

namespace {

QList<QImage> readImages(const QString& name)
{
    QImageReader reader(QCoreApplication::applicationDirPath() + u'/' + name);
    QList<QImage> images;
    for (int index = 0; index < std::max(reader.imageCount(), 1); ++index) {
        reader.jumpToImage(index);
        images << reader.read().convertToFormat(QImage::Format_ARGB32);
    }
    return images;
}

QList<QSize> sizesOf(const QString& name)
{
    QList<QSize> sizes;
    for (const QImage& image : readImages(name))
        sizes << image.size();
    return sizes;
}

} // namespace

class tst_artwork : public QObject {
    Q_OBJECT

private slots:
    void buttonIcons()
    {
        const QList<QSize> both = {QSize(16, 16), QSize(32, 32)};
        QList<QImage> seen;
        for (const char* base :
             {"atzea", "aurrea", "bera", "berria", "egilea", "gehitu", "gora", "gorde", "ireki",
              "irten", "kendu", "pause", "play", "stop", "zerrenda"}) {
            const QString normal = QStringLiteral("irudiak/%1.ico").arg(QLatin1String(base));
            const QString pressed =
                QStringLiteral("irudiak/%1%2.ico").arg(QLatin1String(base), u"1");
            const QString builtIn =
                QStringLiteral("pictures/buttons/%1.ico").arg(QLatin1String(base));
            QCOMPARE(sizesOf(normal), both);
            QCOMPARE(sizesOf(pressed), both);
            QCOMPARE(sizesOf(builtIn), both);
            QCOMPARE(readImages(builtIn), readImages(normal));
            for (int size : {0, 1}) // each size pressed, so that no press looks unpressed
                QVERIFY2(readImages(pressed).value(size) != readImages(normal).value(size), base);
            QVERIFY2(!seen.contains(readImages(normal).constFirst()), "looks like another button");
            seen << readImages(normal).constFirst();
        }
    }

    void pictures()
    {
        const std::pair<const char*, QList<QSize>> rows[] = {
            {"mahaia.png", {{206, 31}}},
            {"zerrenda.png", {{206, 256}}},
            {"artxiboak.png", {{206, 256}}},
            {"sarrera.png", {{100, 100}}},
            {"egilea.png", {{180, 70}}},
            {"lotura.png", {{32, 32}}},
            {"ixomp3.png", {{256, 256}}},
            {"mahaia.ico", {{16, 16}, {32, 32}}},
            {"ixomp3.ico", {{16, 16}, {32, 32}, {48, 48}}}};
        for (const auto& [name, sizes] : rows) {
            const QString path = QStringLiteral("pictures/") + QLatin1String(name);
            QCOMPARE(sizesOf(path), sizes);
            if (!path.endsWith(QLatin1String(".png")) || path.endsWith(QLatin1String("ixomp3.png")))
                continue;
            // An enlarged 1x picture would make every aligned 2 x 2 block one colour.
            const QString twice = path.chopped(4) + QStringLiteral("@2x.png");
            QCOMPARE(sizesOf(twice), QList<QSize>{sizes.constFirst() * 2});
            const QImage image = readImages(twice).constFirst();
            int flat = 0;
            for (int y = 0; y < image.height(); y += 2) {
                for (int x = 0; x < image.width(); x += 2) {
                    const QRgb first = image.pixel(x, y);
                    flat += image.pixel(x + 1, y) == first && image.pixel(x, y + 1) == first &&
                            image.pixel(x + 1, y + 1) == first;
                }
            }
            QVERIFY2(flat * 4 * 100 < image.width() * image.height() * 90, qPrintable(twice));
        }
    }
};

QTEST_MAIN(tst_artwork)
#include "tst_artwork.moc"
