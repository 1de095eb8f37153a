// The about window hands its addresses to the desktop as they read, the e-mail one as a
// message to write, and "Ados!" only hides it.
#include "about/Egilea.h"
#include "about/LinkLabel.h"
#include "frame/Shell.h"
#include "frame/WindowRegistry.h"
#include "support/WindowTest.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_Egilea : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { WindowTest::reset(); }

    void addresses()
    {
        QStringList handed;
        WindowTest::answers().shell = ([&](const QString& operation, const QString& file) {
            handed << operation + QLatin1Char(' ') + file;
        });
        Egilea& about = Form<Egilea>();
        about.show();
        QTest::mouseClick(about.lblURL.at(0), Qt::LeftButton);
        QTest::mouseClick(about.lblURL.at(1), Qt::LeftButton);
        QTest::mouseClick(about.Imaegi, Qt::LeftButton);
        QCOMPARE(handed, (QStringList{QStringLiteral("Open mailto:ixomp3@example.org"),
                                      QStringLiteral("Open ixomp3.example.org")}));
        QTest::mouseClick(about.cmdok, Qt::LeftButton);
        QVERIFY(about.isHidden());
        QVERIFY(WindowRegistry::instance().isLoaded<Egilea>());
    }
};

QTEST_MAIN(tst_Egilea)
#include "tst_Egilea.moc"
