#include "app/mainwindow.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QShowEvent>
#include <QToolButton>

#include <functional>
#include <iterator>
#include <vector>

#include "app/droppedfiles.h"
#include "app/newpage.h"
#include "editor/document.h"
#include "files/openform.h"
#include "files/savefirst.h"
#include "files/saveform.h"
#include "find/findreplace.h"
#include "help/abouthtml.h"
#include "help/aboutkorvanetech.h"
#include "help/contactmessage.h"
#include "help/faqform.h"
#include "markup/addlinkform.h"
#include "markup/addtitle.h"
#include "markup/form2.h"
#include "markup/form3.h"
#include "markup/form4.h"
#include "markup/fxform.h"
#include "markup/mform.h"
#include "markup/palette.h"
#include "markup/sform.h"
#include "markup/sout.h"
#include "markup/txtsize.h"
#include "platform/messagebox.h"
#include "recovery/journal.h"
#include "ui/caretnotice.h"
#include "ui/dropdown.h"
#include "ui/fonts.h"
#include "ui/namedcombobox.h"
#include "ui/toolbarpicture.h"
#include "ui/twips.h"
#include "ui/windowmanagerhints.h"
#include "ui/windowregistry.h"

namespace {

// Every toolbar button is 255 x 255 twips at top 120.
constexpr int ToolbarTop = 120;
constexpr int ButtonSize = 255;

// The font box's place in the tab order; the source box comes first.
constexpr int FontBoxTabIndex = 10;

struct ToolbarEntry
{
    const char *name;
    QString caption; // empty: the button shows the picture named after it
    QString tooltip;
    int left; // twips
    int tabIndex;
    std::function<void(QToolButton *)> onClick;
};

struct MenuEntry
{
    const char *name;
    QString caption;
    std::function<void()> onChoose;
};

struct Menu
{
    const char *name;
    QString caption;
    std::vector<MenuEntry> entries;
};

// The program's icon in the three sizes a window icon comes in. A scalable
// icon alone would leave the window system to pick sizes of its own.
QIcon programIcon()
{
    const QIcon scalable(QStringLiteral(":/tagloom.svg"));
    QIcon icon;
    for (int size : {48, 32, 16})
        icon.addPixmap(scalable.pixmap(size, size));
    return icon;
}

} // namespace

Main::Main(WindowRegistry &registry)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_registry(registry), m_client(new QWidget(this)), m_document(new Document(m_client)),
      m_journal(new Journal(*m_document, this)),
      m_fontBox(new NamedComboBox(QStringLiteral("Font face"), m_client)),
      m_notice(new CaretNotice(this))
{
    setObjectName(WindowIds::name(Id));
    setWindowTitle(QStringLiteral("Tagloom v1.0"));
    setWindowIcon(programIcon());
    setAttribute(Qt::WA_DeleteOnClose);
    m_registry.setDocument(m_document);

    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(Twips::size(8325, 6645));
    setCentralWidget(m_client);
    m_document->widget()->setGeometry(Twips::rect(8, 600, 8295, 6015));
    m_document->widget()->setFont(Fonts::console(9.75));
    m_document->widget()->setAccessibleName(QStringLiteral("Page source"));

    buildFontBox();
    buildToolbar();
    buildMenus();

    // Queued: the drop is over before a question or message is shown, so the
    // program the files came from is not kept waiting.
    connect(
        m_document, &Document::filesDropped, this,
        [this](const QList<QUrl> &files, int position) {
            takeDroppedFiles(m_registry, files, position);
        },
        Qt::QueuedConnection);
    // Queued too: an edit may be refused in the middle of a drop.
    connect(
        m_document, &Document::editRefused, this,
        [](const QString &message) {
            MessageBox::inform(message, QStringLiteral("Tagloom"), QMessageBox::Warning);
        },
        Qt::QueuedConnection);

    connect(m_document, &Document::findRequested, this,
            [this](FindRequest request) { m_registry.show<FindReplace>()->start(request); });
    // F3 that finds nothing with the find window closed: its status line is
    // not there to tell it, so the desktop beeps and the status shows, and
    // is heard, by the caret.
    connect(m_document, &Document::searchFoundNothing, this, [this](const QString &status) {
        if (m_registry.find<FindReplace>())
            return;
        QApplication::beep();
        QWidget *box = m_document->widget();
        const QRect caret = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        m_notice->showAt(box->mapToGlobal(caret.bottomLeft()), status);
    });

    // The window is as tall as the client area plus the menu bar, and fixed.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    const QPoint client = Twips::point(2385, 2040);
    setGeometry(QRect(client - QPoint(0, menuBar()->sizeHint().height()), sizeHint()));

    m_document->widget()->setFocus();
}

void Main::buildToolbar()
{
    // A click on the button of a palette or of the size window takes the focus
    // from whichever of them is open, and that closes it; the click then opens
    // a fresh one, placed again.
    // clang-format off
    const ToolbarEntry toolbar[] = {
        {"addbullet", "\u00B7", "Add Bullet", 120, 1,
         [this](QToolButton *button) { m_registry.window<Form2>()->popUp(button); }},
        {"addline", "/", "Add Line", 480, 2,
         [this](QToolButton *button) { m_registry.window<Form3>()->popUp(button); }},
        {"addlink", {}, "Add Link", 840, 3,
         [this](QToolButton *) { m_registry.show<AddLinkForm>(); }},
        {"Command1", {}, "Add Picture", 1200, 4,
         [this](QToolButton *button) { m_registry.window<Form4>()->popUp(button); }},
        {"addbold", "B", "Add Bold", 1560, 5,
         [this](QToolButton *) { m_document->wrapSelection("<b>", "</b>"); }},
        {"additalics", "I", "Add Italics", 1920, 6,
         [this](QToolButton *) { m_document->wrapSelection("<i>", "</i>"); }},
        {"addunderline", "U", "Add Underline", 2280, 12,
         [this](QToolButton *) { m_document->wrapSelection("<u>", "</u>"); }},
        {"alignleft", {}, "Align Left", 2640, 7,
         [this](QToolButton *) { m_document->wrapSelection("<p align=left>", "</p>"); }},
        {"aligncenter", {}, "Align Center", 3000, 8,
         [this](QToolButton *) { m_document->wrapSelection("<p align=center>", "</p>"); }},
        {"alignright", {}, "Align Right", 3360, 9,
         [this](QToolButton *) { m_document->wrapSelection("<p align=right>", "</p>"); }},
        {"textcolorbutton", {}, "Change Font", 6000, 11,
         [this](QToolButton *button) { dropDown<TextColor>(button); }},
        {"textsizebutton", {}, "Change Text Size", 6360, 17,
         [this](QToolButton *button) { dropDown<TxtSize>(button); }},
        {"backcolorbutton", {}, "Change Background Color", 6720, 13,
         [this](QToolButton *button) { dropDown<BgColor>(button); }},
        {"highlight", {}, "Add Highlight", 7080, 14,
         [this](QToolButton *button) { dropDown<HlightColor>(button); }},
        {"addbr", {}, "Add Break", 7440, 15,
         [this](QToolButton *) { m_document->insertFragment("<br>"); }},
        {"Command3", {}, "Add Title", 7800, 16,
         [this](QToolButton *) { m_registry.show<AddTitle>(); }},
    };
    // clang-format on

    std::vector<QWidget *> tabOrder(std::size(toolbar) + 2);
    tabOrder[0] = m_document->widget();
    tabOrder[FontBoxTabIndex] = m_fontBox;
    for (const ToolbarEntry &entry : toolbar) {
        QToolButton *button = addButton(entry.name, entry.caption, entry.tooltip, entry.left);
        connect(button, &QToolButton::clicked, this,
                [button, onClick = entry.onClick] { onClick(button); });
        tabOrder[std::size_t(entry.tabIndex)] = button;
    }
    for (std::size_t i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);
}

QToolButton *Main::addButton(const char *name, const QString &caption, const QString &tooltip,
                             int left)
{
    auto *button = new QToolButton(m_client);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Twips::rect(left, ToolbarTop, ButtonSize, ButtonSize));
    button->setToolTip(tooltip);
    // A screen reader says what the button does, not its picture or glyph.
    button->setAccessibleName(tooltip);
    // A click leaves the focus on the button, as the font box's rule expects.
    button->setFocusPolicy(Qt::StrongFocus);
    if (caption.isEmpty()) {
        button->setIconSize(QSize(15, 13));
        ToolbarPicture::apply(button, QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(name)));
        return button;
    }
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    // Each caption shows its own effect.
    QFont font = Fonts::console(8.25);
    font.setBold(caption == QLatin1String("B"));
    font.setItalic(caption == QLatin1String("I"));
    font.setUnderline(caption == QLatin1String("U"));
    button->setFont(font);
    return button;
}

void Main::buildMenus()
{
    // Captions carry no '&': the menus have no access keys and no shortcuts.
    const Menu menus[] = {
        {"file",
         "File",
         {
             {"new", "New", [this] { startNewPage(m_registry); }},
             {"open", "Open", [this] { m_registry.show<OpenForm>(); }},
             {"save", "Save", [this] { m_registry.show<SaveForm>(); }},
             {"exit", "Exit", [this] { close(); }},
         }},
        {"fx",
         "Effects",
         {
             {"marquee", "Marquee", [this] { m_registry.show<MForm>(); }},
             {"slash", "Slashout", [this] { m_registry.show<Sout>(); }},
             // The effect changes on an open window; what was typed there stays.
             {"dshadow", "Dropshadow",
              [this] { m_registry.show<FxForm>()->setEffect(QStringLiteral("Dropshadow")); }},
             {"glow", "Glow",
              [this] { m_registry.show<FxForm>()->setEffect(QStringLiteral("Glow")); }},
             {"shadow", "Shadow",
              [this] { m_registry.show<FxForm>()->setEffect(QStringLiteral("Shadow")); }},
             {"spaced", "Spaced", [this] { m_registry.show<SForm>(); }},
         }},
        {"hlp",
         "Help",
         {
             {"faq", "FAQ", [this] { m_registry.show<FaqForm>(); }},
             {"contact", "Contact", [] { ContactMessage::show(); }},
         }},
        {"abt",
         "About",
         {
             {"about", "About Tagloom", [this] { m_registry.show<AboutHtml>(); }},
             {"korvanetech", "About KorvaneTech", [this] { m_registry.show<AboutKorvaneTech>(); }},
         }},
    };

    for (const Menu &menu : menus) {
        QMenu *drop = menuBar()->addMenu(menu.caption);
        drop->setObjectName(QLatin1String(menu.name));
        for (const MenuEntry &entry : menu.entries) {
            QAction *action = drop->addAction(entry.caption);
            action->setObjectName(QLatin1String(entry.name));
            connect(action, &QAction::triggered, this, entry.onChoose);
        }
    }
}

void Main::buildFontBox()
{
    m_fontBox->setObjectName(QStringLiteral("Combo1"));
    m_fontBox->setGeometry(Twips::rect(3720, ToolbarTop, 2175, 330));
    m_fontBox->setFont(Fonts::sans(QStringLiteral("Arial"), 8.25));
    m_fontBox->setEditable(true);
    // A typed name is used as it stands: neither completed from the list nor
    // collected into it.
    m_fontBox->setCompleter(nullptr);
    m_fontBox->setInsertPolicy(QComboBox::NoInsert);
    m_fontBox->installEventFilter(this);
    m_fontBox->addItems(Fonts::screenFamilies());
    // No entry is chosen while the box reads "Font": the first Down gives the first font.
    m_fontBox->setCurrentIndex(-1);
    m_fontBox->setEditText(QStringLiteral("Font"));
}

template <class W> void Main::dropDown(const QToolButton *button)
{
    // Closing here keeps the order whenever the window system gets round to
    // reporting the focus change that would close an open one.
    for (WindowId id : {TextColor::Id, BgColor::Id, HlightColor::Id, TxtSize::Id}) {
        if (QWidget *open = m_registry.find(id))
            open->close();
    }
    DropDown::place(*m_registry.window<W>(), *button);
    m_registry.show<W>();
}

void Main::applyFontBox()
{
    const QString face = m_fontBox->currentText();
    if (face == QLatin1String("Font"))
        return;
    m_document->insertFragment("<font face=" + face + ">");
}

bool Main::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fontBox && event->type() == QEvent::FocusOut) {
        // The box's own drop-down list and a switch to another window are not
        // a move of the focus away from the box.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool ownList = m_fontBox->view()->isVisible();
        if (!ownList && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            applyFontBox();
    }
    return QMainWindow::eventFilter(watched, event);
}

void Main::closeEvent(QCloseEvent *event)
{
    // A changed page is not lost without asking; after Yes the program ends
    // once the page is saved.
    WindowRegistry &registry = m_registry;
    if (!saveIfChanged(registry, [&registry] { registry.closeAllWindows(); })) {
        event->ignore();
        return;
    }
    // The page was saved, or its changes let go: none are left to recover.
    m_journal->discard();
    // However the main window closes, every other window closes with it.
    m_registry.closeOtherWindows();
    m_registry.release(Id, this);
    event->accept();
}

void Main::showEvent(QShowEvent *event)
{
    // Before the window is first mapped: title bar, system menu, minimize
    // button, close box and taskbar button, and no maximize button.
    if (!event->spontaneous())
        WindowManagerHints::apply(*this,
                                  {WindowManagerHints::Kind::Normal, true, true, true, true, true});
    QMainWindow::showEvent(event);
}
