// Every window and control as it stands when its window is created: sizes, places, captions,
// tooltips, visibility, timers and the hidden menu.
#include "about/Egilea.h"
#include "filebrowser/artxiboak.h"
#include "frame/ImageButton.h"
#include "frame/Sarrera.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"
#include "support/WindowTest.h"

#include <QAccessible>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

FormWindow& windowNamed(const QString& name)
{
    if (name == QStringLiteral("Sarrera"))
        return Form<Sarrera>();
    if (name == QStringLiteral("extrak"))
        return Form<extrak>();
    if (name == QStringLiteral("Egilea"))
        return Form<Egilea>();
    if (name == QStringLiteral("Mahaia"))
        return Form<Mahaia>();
    if (name == QStringLiteral("zerrenda"))
        return Form<zerrenda>();
    return Form<artxiboak>();
}

} // namespace

class tst_layouts : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { WindowTest::reset(); }

    void windowSizes_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QSize>("outer");
        QTest::newRow("splash") << "Sarrera" << QSize(104, 102);
        QTest::newRow("host") << "extrak" << QSize(93, 49);
        QTest::newRow("about") << "Egilea" << QSize(188, 133);
        QTest::newRow("bar") << "Mahaia" << QSize(212, 37);
        QTest::newRow("playlist") << "zerrenda" << QSize(212, 234);
        QTest::newRow("browser") << "artxiboak" << QSize(212, 239);
    }

    void windowSizes()
    {
        QFETCH(QString, window);
        QFETCH(QSize, outer);
        FormWindow& form = windowNamed(window);
        QCOMPARE(form.size(), outer);
        QCOMPARE(form.minimumSize(), outer);
        QCOMPARE(form.maximumSize(), outer);
        QCOMPARE(form.Width(), outer.width() * 15);
        QVERIFY(form.windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(form.windowFlags().testFlag(Qt::Tool));
        QVERIFY(form.isHidden());
    }

    void controls_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<bool>("visible");
        auto row = [](const char* window, const char* control, QRect geometry, const char* caption,
                      const char* toolTip, bool visible) {
            QTest::addRow("%s.%s", window, control)
                << QString::fromUtf8(window) << QString::fromUtf8(control) << geometry
                << QString::fromUtf8(caption) << QString::fromUtf8(toolTip) << visible;
        };
        row("Mahaia", "Lblabe", {0, 0, 37, 13}, "0/0", "", true);
        row("Mahaia", "Lblinfo", {36, 0, 85, 13}, "Ez dago abestirik...", "", true);
        row("Mahaia", "Lblden", {120, 0, 43, 13}, "", "", true);
        row("Mahaia", "Lblahot", {162, 0, 28, 13}, "", "Bolumena", true);
        row("Mahaia", "Shape1", {189, 0, 16, 31}, "", "", true);
        row("Mahaia", "Imagora", {189, 0, 16, 16}, "", "Bolumena igo", true);
        row("Mahaia", "Imabera", {189, 15, 16, 16}, "", "Bolumena jeitsi", true);
        row("Mahaia", "Imaatze", {3, 15, 16, 16}, "", "Atzera", true);
        row("Mahaia", "Imahasi", {21, 15, 16, 16}, "", "Hasi", true);
        row("Mahaia", "Imapaus", {39, 15, 16, 16}, "", "Gelditu", true);
        row("Mahaia", "Imastop", {57, 15, 16, 16}, "", "Amaitu", true);
        row("Mahaia", "Imaaurr", {75, 15, 16, 16}, "", "Aurrera", true);
        row("Mahaia", "Imazerr", {114, 15, 16, 16}, "", "Zerrenda", true);
        row("Mahaia", "Imabehe", {132, 15, 16, 16}, "", "Txikiagotu", true);
        row("Mahaia", "Imaegil", {150, 15, 16, 16}, "", "Egilea", true);
        row("Mahaia", "Imairte", {168, 15, 16, 16}, "", "Irten", true);
        row("zerrenda", "lista", {0, 0, 205, 212}, "", "", true);
        row("zerrenda", "Imaberr", {0, 213, 16, 16}, "", "Berria", true);
        row("zerrenda", "Imairek", {18, 213, 16, 16}, "", "Ireki", true);
        row("zerrenda", "Imagord", {36, 213, 16, 16}, "", "Gorde", false);
        row("zerrenda", "Imagehi", {84, 213, 16, 16}, "", "Gehitu", true);
        row("zerrenda", "Imakend", {102, 213, 16, 16}, "", "Kendu", false);
        row("zerrenda", "Imagora", {120, 213, 16, 16}, "", "Gora", false);
        row("zerrenda", "Imabera", {138, 213, 16, 16}, "", "Behera", false);
        row("zerrenda", "Imaitxi", {186, 213, 16, 16}, "", "Itxi", true);
        row("artxiboak", "unitatea", {0, 0, 205, 21}, "", "", true);
        row("artxiboak", "karpeta", {0, 21, 205, 96}, "", "", true);
        row("artxiboak", "artxi", {0, 117, 205, 97}, "", "", true);
        row("artxiboak", "Imagehitu", {168, 216, 16, 16}, "", "Gehitu", false);
        row("artxiboak", "Imautzi", {186, 216, 16, 16}, "", "Itxi", true);
        row("Egilea", "Imaegi", {4, 4, 180, 70}, "", "", true);
        row("Egilea", "lblURL(1)", {35, 72, 118, 13}, "ixomp3.example.org", "", true);
        row("Egilea", "lblURL(0)", {28, 88, 124, 13}, "taldea@ixomp3.example.org", "", true);
        row("Egilea", "cmdok", {60, 108, 61, 17}, "Ados!", "", true);
    }

    void controls()
    {
        QFETCH(QString, window);
        QFETCH(QString, control);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(QString, toolTip);
        QFETCH(bool, visible);
        FormWindow& form = windowNamed(window);
        auto* widget = form.findChild<QWidget*>(control);
        QVERIFY(widget != nullptr);
        QCOMPARE(form.clientGeometry(widget), geometry);
        QCOMPARE(widget->toolTip(), toolTip);
        // A picture says nothing to a screen reader; the button is known by its tooltip.
        if (qobject_cast<ImageButton*>(widget) != nullptr)
            QCOMPARE(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name),
                     toolTip);
        QCOMPARE(widget->isVisibleTo(&form), visible);
        if (const auto* label = qobject_cast<const QLabel*>(widget);
            label && label->pixmap().isNull())
            QCOMPARE(label->text(), caption);
        if (const auto* button = qobject_cast<const QPushButton*>(widget))
            QCOMPARE(button->text(), caption);
    }

    void timers_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("timer");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("running");
        QTest::newRow("splash end") << "Sarrera"
                                    << "Timi" << 1000 << true;
        QTest::newRow("monitor") << "Mahaia"
                                 << "Timi" << 100 << true;
        QTest::newRow("volume down") << "Mahaia"
                                     << "Timibera" << 100 << false;
        QTest::newRow("volume up") << "Mahaia"
                                   << "timigora" << 100 << false;
        QTest::newRow("title blink") << "extrak"
                                     << "Timi2" << 500 << false;
        QTest::newRow("change watch") << "zerrenda"
                                      << "Timi3" << 100 << true;
    }

    void timers()
    {
        QFETCH(QString, window);
        QFETCH(QString, timer);
        QFETCH(int, interval);
        QFETCH(bool, running);
        const auto* found = windowNamed(window).findChild<QTimer*>(timer);
        QVERIFY(found != nullptr);
        QCOMPARE(found->interval(), interval);
        QCOMPARE(found->isActive(), running);
    }

    void hiddenMenuItems()
    {
        const Mahaia& bar = Form<Mahaia>();
        const QStringList captions = {QStringLiteral("Haundiagotu"), QStringLiteral("-"),
                                      QStringLiteral("Aurrera"),     QStringLiteral("Amaitu"),
                                      QStringLiteral("Gelditu"),     QStringLiteral("Hasi"),
                                      QStringLiteral("Atzera")};
        QCOMPARE(bar.menua->title(), QStringLiteral("menua"));
        QCOMPARE(bar.menua->actions().size(), captions.size());
        for (int index = 0; index < captions.size(); ++index) {
            const QAction* item = bar.menu.at(index);
            QCOMPARE(bar.menua->actions().at(index), item);
            QCOMPARE(item->isSeparator(), index == 1);
            if (index != 1)
                QCOMPARE(item->text(), captions.at(index));
            QVERIFY(item->isEnabled());
            QVERIFY(item->isVisible());
            QVERIFY(!item->isChecked());
        }
    }
};

QTEST_MAIN(tst_layouts)
#include "tst_layouts.moc"
