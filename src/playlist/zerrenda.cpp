#include "zerrenda.h"

#include "filebrowser/artxiboak.h"
#include "frame/ButtonRow.h"
#include "frame/CommonDialog.h"
#include "frame/Design.h"
#include "frame/ImageButton.h"
#include "frame/ListSelection.h"
#include "frame/MsgBox.h"
#include "frame/PathItemDelegate.h"
#include "frame/Pictures.h"
#include "frame/WindowRegistry.h"
#include "mainwindow/Mahaia.h"

#include <QListWidget>
#include <QTimer>

namespace {

using Row = ButtonRow<zerrenda>;
// The row reaches one pixel below the client area; the frame covers that row.
constexpr int RowTop = 3195;
constexpr std::array<Row, 8> ListButtons{{
    {&zerrenda::Imaberr, u"Imaberr", 0, RowTop, u"berria", u"Berria", true,
     &zerrenda::Imaberr_MouseUp},
    {&zerrenda::Imairek, u"Imairek", 270, RowTop, u"ireki", u"Ireki", true,
     &zerrenda::Imairek_MouseUp},
    {&zerrenda::Imagord, u"Imagord", 540, RowTop, u"gorde", u"Gorde", false,
     &zerrenda::Imagord_MouseUp},
    {&zerrenda::Imagehi, u"Imagehi", 1260, RowTop, u"gehitu", u"Gehitu", true,
     &zerrenda::Imagehi_MouseUp},
    {&zerrenda::Imakend, u"Imakend", 1530, RowTop, u"kendu", u"Kendu", false,
     &zerrenda::Imakend_MouseUp},
    {&zerrenda::Imagora, u"Imagora", 1800, RowTop, u"gora", u"Gora", false,
     &zerrenda::Imagora_MouseUp},
    {&zerrenda::Imabera, u"Imabera", 2070, RowTop, u"bera", u"Behera", false,
     &zerrenda::Imabera_MouseUp},
    {&zerrenda::Imaitxi, u"Imaitxi", 2790, RowTop, u"irten", u"Itxi", true,
     &zerrenda::Imaitxi_MouseUp},
}};

} // namespace

zerrenda::zerrenda() : FormWindow(QStringLiteral("zerrenda"), 3090, 3420, FrameStyle::Thin)
{
    setWindowTitle(QStringLiteral("Zerrenda"));
    setBackgroundPicture(Pictures::Scaled(QStringLiteral("zerrenda.png")));
    lista = new QListWidget(this);
    lista->setObjectName(QStringLiteral("lista"));
    lista->setAccessibleName(QStringLiteral("Zerrenda"));
    lista->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lista->setSortingEnabled(false);
    lista->setUniformItemSizes(true);
    // The items are the paths as saved, escapes and all; only their drawing reads them.
    lista->setItemDelegate(new PathItemDelegate(lista));
    Design::paintTeal(lista);
    place(lista, 0, 0, 3075, 3180);
    Timi3 = Design::timer(this, QStringLiteral("Timi3"), 100, true);
    diago = new CommonDialog(this);
    diago->setObjectName(QStringLiteral("diago"));
    buildButtons(ListButtons);
    keysForButton(this, {Qt::Key_Delete}, Imakend, &zerrenda::Imakend_MouseUp);
    keysForButton(this, {Qt::CTRL | Qt::Key_Up}, Imagora, &zerrenda::Imagora_MouseUp);
    keysForButton(this, {Qt::CTRL | Qt::Key_Down}, Imabera, &zerrenda::Imabera_MouseUp);
    keysForButton(this, {Qt::Key_Escape}, Imaitxi, &zerrenda::Imaitxi_MouseUp);
    connect(Timi3, &QTimer::timeout, this, &zerrenda::Timi3_Timer);
    // A click that leaves the selection as it was still reruns the rule: songs may have been
    // added since, which gives a selected song somewhere to move.
    connect(lista, &QListWidget::itemSelectionChanged, this, &zerrenda::lista_Click);
    connect(lista, &QAbstractItemView::clicked, this, &zerrenda::lista_Click);
}

// Sits directly on top of the main bar, left edges aligned.
void zerrenda::Form_Load()
{
    standOn(Form<Mahaia>());
}

int zerrenda::ListCount() const
{
    return lista->count();
}

QString zerrenda::List(int index) const
{
    const QListWidgetItem* item = lista->item(index);
    return item == nullptr ? QString() : item->text();
}

void zerrenda::appendItems(const QStringList& items)
{
    const qsizetype room = MaxItems - ListCount();
    lista->addItems(items.mid(0, std::max<qsizetype>(room, 0)));
    if (items.size() > room)
        MsgBox::Show(QStringLiteral("Zerrendak %1 abesti hartzen ditu gehienez; gainerakoak ez "
                                    "dira gehitu.")
                         .arg(MaxItems),
                     MsgBox::OkOnly, QStringLiteral("Okerra"));
}

void zerrenda::addSongs(const QStringList& paths)
{
    appendItems(paths);
    Imagord->show();
}

void zerrenda::Imagehi_MouseUp()
{
    LoadButtonIcon(Imagehi, QStringLiteral("gehitu.ico"));
    Form<artxiboak>().show();
}

// Hiding keeps the playlist, its selection and every flag.
void zerrenda::Imaitxi_MouseUp()
{
    LoadButtonIcon(Imaitxi, QStringLiteral("irten.ico"));
    hide();
}

// The change watch: a count that differs from the one last saved or opened marks the list as
// changed. It never clears the mark.
void zerrenda::Timi3_Timer()
{
    if (ListCount() != savedCount && Imagord->isHidden())
        Imagord->show();
}

// Remove is offered while any song is selected; a move only while exactly one song is selected
// and it has somewhere to go.
void zerrenda::lista_Click()
{
    const int count = ListCount();
    const ListSelection::Summary selected = ListSelection::summarise(lista->selectionModel());
    if (count > 0)
        Imakend->setVisible(selected.first >= 0);
    if (selected.single && count > 1) {
        Imagora->setVisible(selected.first > 0);
        Imabera->setVisible(selected.first < count - 1);
    } else {
        Imagora->hide();
        Imabera->hide();
    }
}

// Swaps the first selected song with its neighbour and leaves it selected alone. A reordered
// list is a changed list: it must not be dropped at exit without the question.
void zerrenda::moveSelected(int step)
{
    const int from = ListSelection::summarise(lista->selectionModel()).first;
    const int to = from + step;
    if (from < 0 || to < 0 || to >= ListCount())
        return;
    const QString moving = lista->item(from)->text();
    lista->item(from)->setText(lista->item(to)->text());
    lista->item(to)->setText(moving);
    {
        const QSignalBlocker quiet(lista);
        lista->clearSelection();
        lista->item(to)->setSelected(true);
        lista->setCurrentRow(to, QItemSelectionModel::NoUpdate);
    }
    Imagord->show();
    lista_Click();
}

void zerrenda::Imagora_MouseUp()
{
    LoadButtonIcon(Imagora, QStringLiteral("gora.ico"));
    moveSelected(-1);
}

void zerrenda::Imabera_MouseUp()
{
    LoadButtonIcon(Imabera, QStringLiteral("bera.ico"));
    moveSelected(+1);
}

// Every selected song goes in one pass, whatever the pattern of the selection: the list is
// rebuilt from the songs that stay, which keeps a remove from a long list quick.
void zerrenda::Imakend_MouseUp()
{
    LoadButtonIcon(Imakend, QStringLiteral("kendu.ico"));
    const QList<int> doomed = ListSelection::rows(lista->selectionModel(), ListCount());
    if (!doomed.isEmpty()) {
        QStringList kept;
        kept.reserve(ListCount() - doomed.size());
        qsizetype next = 0;
        for (int row = 0; row < ListCount(); ++row) {
            if (next < doomed.size() && doomed.at(next) == row)
                ++next;
            else
                kept << lista->item(row)->text();
        }
        const QSignalBlocker quiet(lista);
        lista->clear();
        lista->addItems(kept);
    }
    Imakend->hide();
    if (ListCount() == 0)
        Imagord->hide();
    if (ListCount() < 2) {
        Imagora->hide();
        Imabera->hide();
    }
}
