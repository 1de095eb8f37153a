// The about window: what its two addresses hand to the desktop, and "Ados!".
#include "about/Egilea.h"
#include "frame/Shell.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "support/WindowTest.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

class tst_Egilea : public QObject {
    Q_OBJECT

    QStringList handed;

private slots:
    void init()
    {
        Shell::setReceiver([this](const QString& operation, const QString& file) {
            handed << operation + QLatin1Char(' ') + file;
        });
    }

    void cleanup()
    {
        WindowTest::reset();
        handed.clear();
    }

    void addressesGoToTheDesktop_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("expected");
        QTest::newRow("e-mail") << 0 << "Open mailto:taldea@ixomp3.example.org";
        QTest::newRow("web, without a scheme added") << 1 << "Open ixomp3.example.org";
    }

    void addressesGoToTheDesktop()
    {
        QFETCH(int, index);
        QFETCH(QString, expected);
        Egilea& about = Form<Egilea>();
        about.show();
        QTest::mouseClick(about.lblURL.at(index), Qt::LeftButton);
        QCOMPARE(handed, QStringList{expected});
        QVERIFY(about.isVisible());
        QVERIFY(!about.lblURL.at(index)->text().startsWith(QStringLiteral("mailto:")));
    }

    void pictureAndOtherIndexesDoNothing()
    {
        Egilea& about = Form<Egilea>();
        QTest::mouseClick(about.Imaegi, Qt::LeftButton);
        about.lblURL_Click(2);
        about.lblURL_Click(-1);
        QVERIFY(handed.isEmpty());
    }

    void adosHidesAndTheSameWindowComesBack()
    {
        Egilea& about = Form<Egilea>();
        about.show();
        QTest::mouseClick(about.cmdok, Qt::LeftButton);
        QVERIFY(about.isHidden());
        Form<Mahaia>().Imaegil_MouseUp();
        QCOMPARE(&Form<Egilea>(), &about);
        QVERIFY(about.isVisible());
    }
};

QTEST_MAIN(tst_Egilea)
#include "tst_Egilea.moc"
