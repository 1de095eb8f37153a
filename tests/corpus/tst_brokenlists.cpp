// Odd and broken playlist files opened through the playlist window and saved again: the list
// holds exactly what the reading rules make of the file, nothing is lost on the way back, and
// what cannot be read leaves the list as it was.
#include "frame/CommonDialog.h"
#include "frame/MsgBox.h"
#include "frame/WindowRegistry.h"
#include "playlist/zerrenda.h"
#include "support/WindowTest.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int MaxItems = 32767;

QStringList numbered(int count)
{
    QStringList names;
    for (int at = 0; at < count; ++at)
        names << u"/m/%1.mp3"_s.arg(at);
    return names;
}

QByteArray crlfLines(const QStringList& items)
{
    QByteArray bytes;
    for (const QString& item : items)
        bytes += item.toUtf8() + "\r\n";
    return bytes;
}

// Every byte of a literal, NULs included.
template <std::size_t Size> QByteArray bytesOf(const char (&text)[Size])
{
    return {text, Size - 1};
}

template <std::size_t Size> QString textOf(const char16_t (&text)[Size])
{
    return QStringView(text, Size - 1).toString();
}

// A byte that is not UTF-8, as it stands in an item.
QString odd(unsigned char byte)
{
    return QString(QChar(char16_t(0xDC00 + byte)));
}

} // namespace

class tst_brokenlists : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QStringList m_titles; // of the message boxes shown
    QString m_choice;     // what the file dialog answers

    zerrenda& window() { return Form<zerrenda>(); }
    QString pathOf(const QString& name) const { return m_dir->filePath(name); }

    QStringList items()
    {
        QStringList texts;
        for (int row = 0; row < window().ListCount(); ++row)
            texts << window().List(row);
        return texts;
    }

    static QByteArray contentsOf(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    bool put(const QString& name, const QByteArray& bytes)
    {
        QFile file(pathOf(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    }

    // The list as a user left it: two songs, saved.
    void startWithTwoSongs()
    {
        QVERIFY(put(u"old.m3u"_s, "/old/a.mp3\r\n/old/b.mp3\r\n"));
        m_choice = pathOf(u"old.m3u"_s);
        QVERIFY(window().imairek_baziak());
        QCOMPARE(items(), (QStringList{u"/old/a.mp3"_s, u"/old/b.mp3"_s}));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_titles.clear();
        WindowTest::answers().message = ([this](const QString&, int, const QString& title) {
            m_titles << title;
            return MsgBox::Ok;
        });
        WindowTest::answers().dialog =
            ([this](const CommonDialog&, CommonDialog::Kind) { return m_choice; });
    }

    void cleanup()
    {
        WindowTest::answers().message = {};
        WindowTest::reset();
    }

    void openedAndSavedAgain_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<QStringList>("items"); // when empty, only the count is checked
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QByteArray>("savedBack");

        const QByteArray garbage = bytesOf("\0\x01\x02/m/a.mp3\0\r\n\xff\xfe\x80\n\x7f\x1b[2J\r");
        QTest::newRow("binary garbage and NUL bytes")
            << garbage << 3
            << QStringList{textOf(u"\0\x01\x02/m/a.mp3\0"), odd(0xFF) + odd(0xFE) + odd(0x80),
                           u"\x7f\x1b[2J"_s}
            << QStringList{} << bytesOf("\0\x01\x02/m/a.mp3\0\r\n\xff\xfe\x80\r\n\x7f\x1b[2J\r\n");

        // Random lines, joined as the program writes them, must come back byte for byte.
        QRandomGenerator random(11);
        QByteArray noise;
        for (int line = 0; line < 64; ++line) {
            QByteArray text(1 + random.bounded(2000), '\0');
            for (char& byte : text) {
                do
                    byte = static_cast<char>(random.bounded(256));
                while (byte == '\r' || byte == '\n');
            }
            noise += text + "\r\n";
        }
        QTest::newRow("64 lines of random bytes")
            << noise << 64 << QStringList{} << QStringList{} << noise;

        const QString longLine = u"/m/"_s + QString(1024 * 1024, u'x') + u".mp3"_s;
        QTest::newRow("a 1 MB line without an end")
            << longLine.toUtf8() << 1 << QStringList{longLine} << QStringList{}
            << longLine.toUtf8() + "\r\n";

        const QStringList many = numbered(100000);
        QTest::newRow("100,000 lines keep the first 32,767")
            << crlfLines(many) << MaxItems << many.mid(0, MaxItems) << QStringList{u"Okerra"_s}
            << crlfLines(many.mid(0, MaxItems));

        QTest::newRow("CR, LF and CR LF mixed")
            << QByteArray("/m/a.mp3\r/m/b.mp3\n/m/c.mp3\r\n/m/d.mp3\n\r/m/e.mp3\r\r\n/m/f.mp3") << 8
            << QStringList{u"/m/a.mp3"_s, u"/m/b.mp3"_s, u"/m/c.mp3"_s, u"/m/d.mp3"_s,
                           QString(),     u"/m/e.mp3"_s, QString(),     u"/m/f.mp3"_s}
            << QStringList{}
            << QByteArray("/m/a.mp3\r\n/m/b.mp3\r\n/m/c.mp3\r\n/m/d.mp3\r\n\r\n/m/e.mp3\r\n\r\n/m/"
                          "f.mp3\r\n");

        QTest::newRow("UTF-8 byte-order mark")
            << QByteArray("\xEF\xBB\xBF/m/\xC3\x91o.mp3\r\n\xEF\xBB\xBF/m/b.mp3\r\n") << 2
            << QStringList{u"/m/Ño.mp3"_s, u"\uFEFF/m/b.mp3"_s} << QStringList{}
            << QByteArray("/m/\xC3\x91o.mp3\r\n\xEF\xBB\xBF/m/b.mp3\r\n");
        QTest::newRow("byte-order mark alone")
            << QByteArray("\xEF\xBB\xBF") << 0 << QStringList{} << QStringList{} << QByteArray();

        QTest::newRow("Latin-1 bytes")
            << QByteArray("/m/Itoiz/caf\xE9 \xF1.mp3\r\n") << 1
            << QStringList{u"/m/Itoiz/caf"_s + odd(0xE9) + u" "_s + odd(0xF1) + u".mp3"_s}
            << QStringList{} << QByteArray("/m/Itoiz/caf\xE9 \xF1.mp3\r\n");

        // A cut sequence, an overlong slash, an encoded surrogate and a character outside the
        // basic plane whose second half looks like an escaped byte.
        const QByteArray mixed("/m/\xE2\x82\xAC\xC3(\xC0\xAF\xED\xA0\x80\xF0\x90\x82\x80.mp3\r\n");
        QTest::newRow("UTF-8 and stray bytes mixed")
            << mixed << 1
            << QStringList{u"/m/€"_s + odd(0xC3) + u"("_s + odd(0xC0) + odd(0xAF) + odd(0xED) +
                           odd(0xA0) + odd(0x80) + u"\U00010080.mp3"_s}
            << QStringList{} << mixed;
    }

    // Opens the file over a list of two songs, then saves the list under a new name.
    void openedAndSavedAgain()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, count);
        QFETCH(QStringList, items);
        QFETCH(QStringList, messages);
        QFETCH(QByteArray, savedBack);
        startWithTwoSongs();
        QVERIFY(put(u"list.m3u"_s, bytes));
        m_choice = pathOf(u"list.m3u"_s);
        QVERIFY(window().imairek_baziak());
        QCOMPARE(m_titles, messages);
        QCOMPARE(window().ListCount(), count);
        if (!items.isEmpty())
            QCOMPARE(this->items(), items);
        m_choice = pathOf(u"saved.m3u"_s);
        QVERIFY(window().Imagord_baziak());
        QCOMPARE(contentsOf(m_choice), savedBack);
    }

    void unreadableChangesNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("missing") << u"missing"_s;
        QTest::newRow("folder named .m3u") << u"folder"_s;
        QTest::newRow("FIFO named .m3u") << u"fifo"_s;
        QTest::newRow("no read permission") << u"locked"_s;
    }

    // Nothing waits on a pipe that no one writes to, and the two songs stay.
    void unreadableChangesNothing()
    {
        QFETCH(QString, kind);
        startWithTwoSongs();
        const QString path = pathOf(u"list.m3u"_s);
        const QByteArray name = QFile::encodeName(path);
        if (kind == u"folder"_s) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == u"fifo"_s) {
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        } else if (kind == u"locked"_s) {
            if (::geteuid() == 0)
                QSKIP("root reads a file whatever its permission bits");
            QVERIFY(put(u"list.m3u"_s, "/new/a.mp3\r\n"));
            QVERIFY(::chmod(name.constData(), 0) == 0);
        }
        m_choice = path;
        QVERIFY(!window().imairek_baziak());
        QCOMPARE(m_titles, QStringList{u"Okerra"_s});
        QCOMPARE(items(), (QStringList{u"/old/a.mp3"_s, u"/old/b.mp3"_s}));
    }
};

QTEST_MAIN(tst_brokenlists)
#include "tst_brokenlists.moc"
