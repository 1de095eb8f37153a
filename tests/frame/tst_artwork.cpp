// The pictures the build draws beside the executables: every button has normal, pressed and
// built-in icons at 16 and 32 pixels, told apart from each other, and every picture has the
// size the windows are laid out around.
#include <QCoreApplication>
#include <QImageReader>
#include <QSet>
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

    QList<QImage> normals;

private slots:
    void buttonIcons_data()
    {
        QTest::addColumn<QString>("base");
        for (const char* base :
             {"atzea", "aurrea", "bera", "berria", "egilea", "gehitu", "gora", "gorde", "ireki",
              "irten", "kendu", "pause", "play", "stop", "zerrenda"})
            QTest::newRow(base) << QString::fromLatin1(base);
    }

    void buttonIcons()
    {
        QFETCH(QString, base);
        const QList<QSize> both = {QSize(16, 16), QSize(32, 32)};
        const QString normal = QStringLiteral("irudiak/%1.ico").arg(base);
        const QString pressed = QStringLiteral("irudiak/") + base + QStringLiteral("1.ico");
        QCOMPARE(sizesOf(normal), both);
        QCOMPARE(sizesOf(pressed), both);
        QCOMPARE(sizesOf(QStringLiteral("pictures/buttons/%1.ico").arg(base)), both);
        QVERIFY(readImages(pressed) != readImages(normal));
        const QImage small = readImages(normal).constFirst();
        QVERIFY2(!normals.contains(small), "looks like another button");
        normals << small;
    }

    void pictures_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QList<QSize>>("sizes");
        auto one = [](int width, int height) { return QList<QSize>{QSize(width, height)}; };
        QTest::newRow("bar") << "mahaia.png" << one(206, 31);
        QTest::newRow("playlist") << "zerrenda.png" << one(206, 256);
        QTest::newRow("browser") << "artxiboak.png" << one(206, 256);
        QTest::newRow("splash") << "sarrera.png" << one(100, 100);
        QTest::newRow("logo") << "egilea.png" << one(180, 70);
        QTest::newRow("link cursor") << "lotura.png" << one(32, 32);
        QTest::newRow("desktop icon") << "ixomp3.png" << one(256, 256);
        QTest::newRow("bar and tray icon") << "mahaia.ico" << QList<QSize>{{16, 16}, {32, 32}};
        QTest::newRow("program icon") << "ixomp3.ico" << QList<QSize>{{16, 16}, {32, 32}, {48, 48}};
    }

    void pictures()
    {
        QFETCH(QString, name);
        QFETCH(QList<QSize>, sizes);
        QCOMPARE(sizesOf(QStringLiteral("pictures/") + name), sizes);
    }
};

QTEST_MAIN(tst_artwork)
#include "tst_artwork.moc"
