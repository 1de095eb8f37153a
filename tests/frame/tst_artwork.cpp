#include <QCoreApplication>
#include <QImageReader>
#include <QSet>
#include <QTest>

// Checks the pictures the build draws beside the executables: every button has readable
// normal, pressed and built-in icons at both sizes, and every picture has the size the
// windows lay out around.
class tst_Artwork : public QObject {
    Q_OBJECT

private slots:
    void buttonIcons_data();
    void buttonIcons();
    void buttonsCanBeToldApart();
    void pictures_data();
    void pictures();
    void programIcons_data();
    void programIcons();
    void trayIconFitsSixteenColours();
};

namespace {

const QStringList buttonNames = {
    QStringLiteral("atzea"),  QStringLiteral("aurrea"), QStringLiteral("bera"),
    QStringLiteral("berria"), QStringLiteral("egilea"), QStringLiteral("gehitu"),
    QStringLiteral("gora"),   QStringLiteral("gorde"),  QStringLiteral("ireki"),
    QStringLiteral("irten"),  QStringLiteral("kendu"),  QStringLiteral("pause"),
    QStringLiteral("play"),   QStringLiteral("stop"),   QStringLiteral("zerrenda")};

QString artPath(const QString& name)
{
    return QCoreApplication::applicationDirPath() + u'/' + name;
}

QList<QImage> readIcon(const QString& name)
{
    QImageReader reader(artPath(name), "ico");
    QList<QImage> images;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        images.append(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return images;
}

QList<QSize> sizesOf(const QList<QImage>& images)
{
    QList<QSize> sizes;
    for (const QImage& image : images)
        sizes.append(image.size());
    return sizes;
}

bool hasOpaquePixel(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) == 255)
                return true;
        }
    }
    return false;
}

const QList<QSize> buttonSizes = {QSize(16, 16), QSize(32, 32)};

} // namespace

void tst_Artwork::buttonIcons_data()
{
    QTest::addColumn<QString>("base");
    for (const QString& base : buttonNames)
        QTest::newRow(qPrintable(base)) << base;
}

void tst_Artwork::buttonIcons()
{
    QFETCH(QString, base);
    const QList<QImage> normal = readIcon(QStringLiteral("irudiak/%1.ico").arg(base));
    const QList<QImage> pressed = readIcon(QStringLiteral("irudiak/%1%2.ico").arg(base, u"1"));
    const QList<QImage> builtIn = readIcon(QStringLiteral("pictures/buttons/%1.ico").arg(base));
    QCOMPARE(sizesOf(normal), buttonSizes);
    QCOMPARE(sizesOf(pressed), buttonSizes);
    QCOMPARE(sizesOf(builtIn), buttonSizes);
    QVERIFY(hasOpaquePixel(normal.first()));
    QVERIFY(hasOpaquePixel(pressed.first()));
    QVERIFY(pressed.first() != normal.first());
    QVERIFY(pressed.last() != normal.last());
}

// A symbol missing from the drawing tables would leave a bare body that looks like any other.
void tst_Artwork::buttonsCanBeToldApart()
{
    QSet<QByteArray> seen;
    for (const QString& base : buttonNames) {
        const QImage small = readIcon(QStringLiteral("irudiak/%1.ico").arg(base)).value(0);
        const QByteArray pixels(reinterpret_cast<const char*>(small.constBits()),
                                small.sizeInBytes());
        QVERIFY2(!seen.contains(pixels), qPrintable(base));
        seen.insert(pixels);
    }
}

void tst_Artwork::pictures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("transparent");
    QTest::newRow("bar") << QStringLiteral("mahaia.png") << QSize(206, 31) << false;
    QTest::newRow("list") << QStringLiteral("zerrenda.png") << QSize(206, 256) << false;
    QTest::newRow("files") << QStringLiteral("artxiboak.png") << QSize(206, 256) << false;
    QTest::newRow("splash") << QStringLiteral("sarrera.png") << QSize(100, 100) << false;
    QTest::newRow("logo") << QStringLiteral("egilea.png") << QSize(180, 70) << false;
    QTest::newRow("cursor") << QStringLiteral("lotura.png") << QSize(32, 32) << true;
    QTest::newRow("program") << QStringLiteral("ixomp3.png") << QSize(256, 256) << false;
}

void tst_Artwork::pictures()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    QFETCH(bool, transparent);
    const QImage image(artPath(QStringLiteral("pictures/") + name));
    QCOMPARE(image.size(), size);
    if (transparent)
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

void tst_Artwork::programIcons_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::newRow("window") << QStringLiteral("mahaia.ico") << buttonSizes;
    QTest::newRow("program") << QStringLiteral("ixomp3.ico")
                             << QList<QSize>{QSize(16, 16), QSize(32, 32), QSize(48, 48)};
}

void tst_Artwork::programIcons()
{
    QFETCH(QString, name);
    QFETCH(QList<QSize>, sizes);
    const QList<QImage> images = readIcon(QStringLiteral("pictures/") + name);
    QCOMPARE(sizesOf(images), sizes);
    QVERIFY(hasOpaquePixel(images.first()));
}

void tst_Artwork::trayIconFitsSixteenColours()
{
    const QImage small = readIcon(QStringLiteral("pictures/mahaia.ico")).value(0);
    QSet<QRgb> colours;
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x)
            colours.insert(small.pixel(x, y));
    }
    QVERIFY(!colours.isEmpty());
    QVERIFY2(colours.size() <= 16, qPrintable(QString::number(colours.size())));
}

QTEST_MAIN(tst_Artwork)
#include "tst_artwork.moc"
