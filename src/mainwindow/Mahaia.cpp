#include "Mahaia.h"

#include "about/Egilea.h"
#include "frame/ButtonRow.h"
#include "frame/Design.h"
#include "frame/DesktopHints.h"
#include "frame/ImageButton.h"
#include "frame/MsgBox.h"
#include "frame/Pictures.h"
#include "frame/TrayIcon.h"
#include "frame/WindowRegistry.h"
#include "playback/MediaComponent.h"
#include "playback/SysInfo.h"
#include "playback/extrak.h"
#include "playlist/zerrenda.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

using Row = ButtonRow<Mahaia>;
// Tab follows the table: the bottom row left to right, then the volume strip at its end. The
// volume buttons also act on the press; see Imagora_MouseDown.
constexpr std::array<Row, 11> BarButtons{{
    {&Mahaia::Imaatze, u"Imaatze", 45, 225, u"atzea", u"Atzera", true, &Mahaia::Imaatze_MouseUp},
    {&Mahaia::Imahasi, u"Imahasi", 315, 225, u"play", u"Hasi", true, &Mahaia::Imahasi_MouseUp},
    {&Mahaia::Imapaus, u"Imapaus", 585, 225, u"pause", u"Gelditu", true, &Mahaia::Imapaus_MouseUp},
    {&Mahaia::Imastop, u"Imastop", 855, 225, u"stop", u"Amaitu", true, &Mahaia::Imastop_MouseUp},
    {&Mahaia::Imaaurr, u"Imaaurr", 1125, 225, u"aurrea", u"Aurrera", true,
     &Mahaia::Imaaurr_MouseUp},
    {&Mahaia::Imazerr, u"Imazerr", 1710, 225, u"zerrenda", u"Zerrenda", true,
     &Mahaia::Imazerr_MouseUp},
    {&Mahaia::Imabehe, u"Imabehe", 1980, 225, u"bera", u"Txikiagotu", true,
     &Mahaia::Imabehe_MouseUp},
    {&Mahaia::Imaegil, u"Imaegil", 2250, 225, u"egilea", u"Egilea", true, &Mahaia::Imaegil_MouseUp},
    {&Mahaia::Imairte, u"Imairte", 2520, 225, u"irten", u"Irten", true, &Mahaia::Imairte_MouseUp},
    {&Mahaia::Imagora, u"Imagora", 2835, 0, u"gora", u"Bolumena igo", true,
     &Mahaia::Imagora_MouseUp, &Mahaia::Imagora_MouseDown},
    {&Mahaia::Imabera, u"Imabera", 2835, 225, u"bera", u"Bolumena jeitsi", true,
     &Mahaia::Imabera_MouseUp, &Mahaia::Imabera_MouseDown},
}};

} // namespace

Mahaia::Mahaia() : FormWindow(QStringLiteral("Mahaia"), 3090, 465, FrameStyle::Thin)
{
    setBackgroundPicture(Pictures::Scaled(QStringLiteral("mahaia.png")));
    setWindowIcon(Pictures::designIcon(QStringLiteral("mahaia.ico")));
    createDisplay();
    buildButtons(BarButtons);
    createMenu();
    tray = new TrayIcon(this);
    tray->setMenu(menua);
    connect(tray, &TrayIcon::Notify, this, &Mahaia::Tray_Notify);
    setAttribute(Qt::WA_ShowWithoutActivating);
    Timi = Design::timer(this, QStringLiteral("Timi"), 100, true);
    Timibera = Design::timer(this, QStringLiteral("Timibera"), 100, false);
    timigora = Design::timer(this, QStringLiteral("timigora"), 100, false);
    connect(Timi, &QTimer::timeout, this, &Mahaia::Timi_Timer);
    connect(Timibera, &QTimer::timeout, this, &Mahaia::Timibera_Timer);
    connect(timigora, &QTimer::timeout, this, &Mahaia::timigora_Timer);
}

void Mahaia::createDisplay()
{
    Lblabe = Design::displayLabel(this, QStringLiteral("Lblabe"), QStringLiteral("0/0"));
    place(Lblabe, 0, 0, 555, 195);
    Lblinfo = Design::displayLabel(this, QStringLiteral("Lblinfo"),
                                   QStringLiteral("Ez dago abestirik..."));
    place(Lblinfo, 540, 0, 1275, 195);
    Lblden = Design::displayLabel(this, QStringLiteral("Lblden"), QString());
    place(Lblden, 1800, 0, 645, 195);
    Lblahot = Design::displayLabel(this, QStringLiteral("Lblahot"), QString());
    Lblahot->setToolTip(QStringLiteral("Bolumena"));
    place(Lblahot, 2430, 0, 420, 195);
    // A screen reader says what each display is; the text it shows is read as its value.
    Lblabe->setAccessibleName(QStringLiteral("Abestia"));
    Lblinfo->setAccessibleName(QStringLiteral("Izenburua"));
    Lblden->setAccessibleName(QStringLiteral("Denbora"));
    Lblahot->setAccessibleName(QStringLiteral("Bolumena"));

    Shape1 = Design::rectangle(this, QStringLiteral("Shape1"));
    place(Shape1, 2835, 0, 240, 465);
}

// The menu is never shown as a menu bar; the tray pops it up.
void Mahaia::createMenu()
{
    menua = new QMenu(QStringLiteral("menua"), this);
    menua->setObjectName(QStringLiteral("menua"));
    const std::array<QString, 7> captions = {
        QStringLiteral("Haundiagotu"), QStringLiteral("-"),       QStringLiteral("Aurrera"),
        QStringLiteral("Amaitu"),      QStringLiteral("Gelditu"), QStringLiteral("Hasi"),
        QStringLiteral("Atzera")};
    for (int index = 0; index < int(captions.size()); ++index) {
        // A "-" caption makes a separator line, which shows no text of its own.
        const bool separator = captions.at(index) == QStringLiteral("-");
        QAction* item = separator ? menua->addSeparator() : menua->addAction(captions.at(index));
        connect(item, &QAction::triggered, this, [this, index] { menu_Click(index); });
        menu.at(index) = item;
    }
}

// Sits the bar in the bottom-right corner of the work area. The work area's own right and
// bottom edges are used, so a panel on the left or at the top still leaves the bar flush
// with the corner, on the last device pixel at any scale.
void Mahaia::Form_Load()
{
    const QRect area = Form<extrak>().info->deviceWorkArea(devicePixelRatioF());
    const QSize size = deviceGeometry().size();
    m_corner = area.bottomRight() + QPoint(1, 1) - QPoint(size.width(), size.height());
    moveToDevicePixel(m_corner);
}

// Some desktops put every X11 window where they choose. The bar works there just the same, but
// a user looking for it in the corner is told why it is not, once. Compositors still move a
// window after its first paint (weston maps it at a place of its own first, a busy KWin is
// late), so the bar is looked for a moment after it.
void Mahaia::paintEvent(QPaintEvent* event)
{
    FormWindow::paintEvent(event);
    if (!std::exchange(m_placementChecked, true))
        QTimer::singleShot(PlacementSettle, this, &Mahaia::tellPlacement);
}

void Mahaia::tellPlacement()
{
    const std::optional<QPoint> placed = DesktopHints::placedAt(this);
    if (placed && *placed != m_corner)
        std::fprintf(stderr, "ixomp3: the desktop does not let the bar place itself in the "
                             "corner of the screen; it stays where the desktop put it\n");
}

// The playlist window is only ever shown from here, never toggled away.
void Mahaia::Imazerr_MouseUp()
{
    LoadButtonIcon(Imazerr, QStringLiteral("zerrenda.ico"));
    Form<zerrenda>().show();
}

// Without a tray to come back from, hiding the bar would leave the program unreachable, so
// then nothing is hidden.
void Mahaia::Imabehe_MouseUp()
{
    if (!tray->available()) {
        LoadButtonIcon(Imabehe, QStringLiteral("bera.ico"));
        if (WindowRegistry::instance().firstReport(QStringLiteral("no tray")))
            std::fprintf(stderr, "ixomp3: the desktop has no tray to minimise to; the bar "
                                 "stays on screen\n");
        return;
    }
    setTopmost(false);
    LoadButtonIcon(Imabehe, QStringLiteral("bera.ico"));
    SendToTray();
}

void Mahaia::Imaegil_MouseUp()
{
    LoadButtonIcon(Imaegil, QStringLiteral("egilea.ico"));
    Form<Egilea>().show();
}

// The only way the program ends. A changed playlist is offered for saving, and the program
// ends after "Yes" only once the save completed: a cancelled or failed save keeps it running.
void Mahaia::Imairte_MouseUp()
{
    LoadButtonIcon(Imairte, QStringLiteral("irten.ico"));
    ExitProgram();
}

void Mahaia::ExitProgram()
{
    zerrenda& playlist = Form<zerrenda>();
    if (!playlist.Imagord->isHidden()) {
        const int answer =
            MsgBox::Show(QStringLiteral("Gorde nahi duzu irten aurretik zerrenda hau?"),
                         MsgBox::YesNoCancel + MsgBox::Question, QStringLiteral("Irten..."));
        if (answer == MsgBox::Yes) {
            if (!playlist.Imagord_baziak())
                return;
        } else if (answer != MsgBox::No) {
            return;
        }
    }
    setTopmost(false);
    WindowRegistry::instance().endProgram(0);
}

// Alt+F4 and the like must never drop the playlist silently: they ask as the exit button does.
void Mahaia::Form_CloseRequest()
{
    Imairte_MouseUp();
}

// The bar stays above other windows but never takes the focus from them.
void Mahaia::Form_Activate()
{
    setTopmost(true);
}

// The bar has no task-bar button, so one minimised by the window manager ("show desktop"
// too) would be lost: it goes to the tray as the minimise button sends it, or, with no tray,
// comes straight back. Once the state change is over, since both change the state again.
void Mahaia::changeEvent(QEvent* event)
{
    FormWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(this, &Mahaia::minimisedByTheDesktop, Qt::QueuedConnection);
}

void Mahaia::minimisedByTheDesktop()
{
    if (!isMinimized())
        return;
    // Leaving the minimised state maps the window again on X, so a bar on its way to the tray
    // keeps it until RestoreFromTray: mapped and then hidden, the window manager could be left
    // showing it, depending on which of the two requests it got round to first.
    if (tray->available()) {
        setTopmost(false);
        SendToTray();
    } else {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        setTopmost(true);
    }
}

void Mahaia::setTopmost(bool on)
{
    DesktopHints::setAbove(this, on);
}

// The volume moves one step every 100 ms while its button is held; the press only starts the
// repetition, so a click shorter than one interval changes nothing.
void Mahaia::Imagora_MouseDown()
{
    timigora->start();
}

void Mahaia::Imagora_MouseUp()
{
    LoadButtonIcon(Imagora, QStringLiteral("gora.ico"));
    timigora->stop();
}

void Mahaia::Imabera_MouseDown()
{
    Timibera->start();
}

void Mahaia::Imabera_MouseUp()
{
    LoadButtonIcon(Imabera, QStringLiteral("bera.ico"));
    Timibera->stop();
}

// The player may report a level off the 100 grid; whatever it reports, nothing written here
// leaves the -10000..0 range.
void Mahaia::timigora_Timer()
{
    MediaComponent& player = *Form<extrak>().Medi;
    if (player.Volume() != MediaComponent::MaxVolume)
        player.setVolume(std::clamp(player.Volume() + 100, MediaComponent::MinVolume,
                                    MediaComponent::MaxVolume));
}

void Mahaia::Timibera_Timer()
{
    MediaComponent& player = *Form<extrak>().Medi;
    if (player.Volume() != MediaComponent::MinVolume)
        player.setVolume(std::clamp(player.Volume() - 100, MediaComponent::MinVolume,
                                    MediaComponent::MaxVolume));
}
