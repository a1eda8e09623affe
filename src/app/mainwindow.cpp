#include "app/mainwindow.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QIcon>
#include <QLayout>
#include <QMenuBar>
#include <QToolButton>

#include "app/fonts.h"
#include "app/newpage.h"
#include "app/twips.h"
#include "app/window.h"
#include "app/windowregistry.h"
#include "editor/document.h"
#include "files/openform.h"
#include "files/saveform.h"
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

namespace {

// Every toolbar button is 255 x 255 twips at top 120.
constexpr int ToolbarTop = 120;
constexpr int ButtonSize = 255;

} // namespace

Main::Main(WindowRegistry &registry)
    : QMainWindow(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                               Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                               Qt::WindowCloseButtonHint),
      m_registry(registry), m_client(new QWidget(this)), m_document(new Document(m_client))
{
    setObjectName(windowName());
    setWindowTitle(QStringLiteral("Tagloom v1.0"));
    setWindowIcon(QIcon(QStringLiteral(":/tagloom.svg")));
    setAttribute(Qt::WA_DeleteOnClose);

    m_client->setObjectName(QStringLiteral("client"));
    m_client->setFixedSize(Twips::size(8325, 6645));
    setCentralWidget(m_client);
    m_document->widget()->setGeometry(Twips::rect(8, 600, 8295, 6015));

    buildToolbar();
    buildMenus();
    fillFontBox();
    connectInlineCommands();
    connectWindowCommands();

    // The window is as tall as the client area plus the menu bar, and fixed.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    const QPoint client = Twips::point(2385, 2040);
    setGeometry(QRect(client - QPoint(0, menuBar()->sizeHint().height()), sizeHint()));

    m_document->widget()->setFocus();
}

QToolButton *Main::addCaptionButton(const char *name, const QString &caption,
                                    const QString &tooltip, int left)
{
    QToolButton *button = addButton(name, tooltip, left);
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFont(Fonts::console(8.25));
    return button;
}

QToolButton *Main::addPictureButton(const char *name, const QString &tooltip, int left)
{
    QToolButton *button = addButton(name, tooltip, left);
    button->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QLatin1String(name))));
    button->setIconSize(QSize(15, 13));
    // A screen reader says the tooltip of a button that shows only a picture.
    button->setAccessibleName(tooltip);
    return button;
}

QToolButton *Main::addButton(const char *name, const QString &tooltip, int left)
{
    auto *button = new QToolButton(m_client);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(Twips::rect(left, ToolbarTop, ButtonSize, ButtonSize));
    button->setToolTip(tooltip);
    // A click leaves the focus on the button, as the font box's rule expects.
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

void Main::buildToolbar()
{
    QToolButton *addbullet =
        addCaptionButton("addbullet", QStringLiteral("\u00B7"), QStringLiteral("Add Bullet"), 120);
    QToolButton *addline =
        addCaptionButton("addline", QStringLiteral("/"), QStringLiteral("Add Line"), 480);
    QToolButton *addlink = addPictureButton("addlink", QStringLiteral("Add Link"), 840);
    QToolButton *picture = addPictureButton("Command1", QStringLiteral("Add Picture"), 1200);
    QToolButton *addbold =
        addCaptionButton("addbold", QStringLiteral("B"), QStringLiteral("Add Bold"), 1560);
    QToolButton *additalics =
        addCaptionButton("additalics", QStringLiteral("I"), QStringLiteral("Add Italics"), 1920);
    QToolButton *addunderline = addCaptionButton("addunderline", QStringLiteral("U"),
                                                 QStringLiteral("Add Underline"), 2280);
    QToolButton *alignleft = addPictureButton("alignleft", QStringLiteral("Align Left"), 2640);
    QToolButton *aligncenter =
        addPictureButton("aligncenter", QStringLiteral("Align Center"), 3000);
    QToolButton *alignright = addPictureButton("alignright", QStringLiteral("Align Right"), 3360);

    m_fontBox = new QComboBox(m_client);
    m_fontBox->setObjectName(QStringLiteral("Combo1"));
    m_fontBox->setGeometry(Twips::rect(3720, ToolbarTop, 2175, 330));
    m_fontBox->setFont(Fonts::sans(QStringLiteral("Arial"), 8.25));
    m_fontBox->setEditable(true);
    // A typed name is used as it stands: neither completed from the list nor
    // collected into it.
    m_fontBox->setCompleter(nullptr);
    m_fontBox->setInsertPolicy(QComboBox::NoInsert);
    m_fontBox->installEventFilter(this);

    QToolButton *textcolor =
        addPictureButton("textcolorbutton", QStringLiteral("Change Font"), 6000);
    QToolButton *textsize =
        addPictureButton("textsizebutton", QStringLiteral("Change Text Size"), 6360);
    QToolButton *backcolor =
        addPictureButton("backcolorbutton", QStringLiteral("Change Background Color"), 6720);
    QToolButton *highlight = addPictureButton("highlight", QStringLiteral("Add Highlight"), 7080);
    QToolButton *addbr = addPictureButton("addbr", QStringLiteral("Add Break"), 7440);
    QToolButton *title = addPictureButton("Command3", QStringLiteral("Add Title"), 7800);

    Window::setTabChain({m_document->widget(), addbullet, addline, addlink, picture, addbold,
                         additalics, alignleft, aligncenter, alignright, m_fontBox, textcolor,
                         addunderline, backcolor, highlight, addbr, title, textsize});
}

QAction *Main::addEntry(QMenu *menu, const char *name, const QString &caption)
{
    QAction *entry = menu->addAction(caption);
    entry->setObjectName(QString::fromLatin1(name));
    return entry;
}

void Main::buildMenus()
{
    // Captions carry no '&': the menus have no access keys and no shortcuts.
    QMenu *file = menuBar()->addMenu(QStringLiteral("File"));
    file->setObjectName(QStringLiteral("file"));
    addEntry(file, "new", QStringLiteral("New"));
    addEntry(file, "open", QStringLiteral("Open"));
    addEntry(file, "save", QStringLiteral("Save"));
    addEntry(file, "exit", QStringLiteral("Exit"));

    QMenu *effects = menuBar()->addMenu(QStringLiteral("Effects"));
    effects->setObjectName(QStringLiteral("fx"));
    addEntry(effects, "marquee", QStringLiteral("Marquee"));
    addEntry(effects, "slash", QStringLiteral("Slashout"));
    addEntry(effects, "dshadow", QStringLiteral("Dropshadow"));
    addEntry(effects, "glow", QStringLiteral("Glow"));
    addEntry(effects, "shadow", QStringLiteral("Shadow"));
    addEntry(effects, "spaced", QStringLiteral("Spaced"));

    QMenu *help = menuBar()->addMenu(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("hlp"));
    addEntry(help, "faq", QStringLiteral("FAQ"));
    addEntry(help, "contact", QStringLiteral("Contact"));

    QMenu *about = menuBar()->addMenu(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("abt"));
    addEntry(about, "about", QStringLiteral("About Tagloom"));
    addEntry(about, "korvanetech", QStringLiteral("About KorvaneTech"));
}

void Main::fillFontBox()
{
    m_fontBox->addItems(QFontDatabase::families());
    m_fontBox->setEditText(QStringLiteral("Font"));

    // Each caption shows its own effect.
    const auto setStyled = [this](const char *name, auto change) {
        QFont font = button(name)->font();
        change(font);
        button(name)->setFont(font);
    };
    setStyled("addunderline", [](QFont &font) { font.setUnderline(true); });
    setStyled("addbold", [](QFont &font) { font.setBold(true); });
    setStyled("additalics", [](QFont &font) { font.setItalic(true); });
}

QToolButton *Main::button(const char *name) const
{
    return m_client->findChild<QToolButton *>(QString::fromLatin1(name));
}

QAction *Main::entry(const char *name) const
{
    return menuBar()->findChild<QAction *>(QString::fromLatin1(name));
}

void Main::connectInlineCommands()
{
    const auto onClick = [this](const char *name, auto handler) {
        connect(button(name), &QToolButton::clicked, this, handler);
    };
    onClick("addbold", [this] { m_document->wrapSelection("<b>", "</b>"); });
    onClick("additalics", [this] { m_document->wrapSelection("<i>", "</i>"); });
    onClick("addunderline", [this] { m_document->wrapSelection("<u>", "</u>"); });
    onClick("alignleft", [this] { m_document->wrapSelection("<p align=left>", "</p>"); });
    onClick("aligncenter", [this] { m_document->wrapSelection("<p align=center>", "</p>"); });
    onClick("alignright", [this] { m_document->wrapSelection("<p align=right>", "</p>"); });
    onClick("addbr", [this] { m_document->insertFragment("<br>"); });
}

void Main::connectWindowCommands()
{
    const auto onClick = [this](const char *name, auto handler) {
        connect(button(name), &QToolButton::clicked, this, handler);
    };
    const auto onEntry = [this](const char *name, auto handler) {
        connect(entry(name), &QAction::triggered, this, handler);
    };
    onEntry("new", [this] { startNewPage(m_registry); });
    onEntry("open", [this] { m_registry.show<OpenForm>(); });
    onEntry("save", [this] { m_registry.show<SaveForm>(); });
    onEntry("exit", [this] { m_registry.closeAllWindows(); });
    onClick("Command3", [this] { m_registry.show<AddTitle>(); });
    onClick("addlink", [this] { m_registry.show<AddLinkForm>(); });
    onEntry("slash", [this] { m_registry.show<Sout>(); });
    onEntry("spaced", [this] { m_registry.show<SForm>(); });
    onEntry("marquee", [this] { m_registry.show<MForm>(); });
    // The effect changes on an open window; what was typed there stays.
    onEntry("glow", [this] { m_registry.show<FxForm>()->setEffect(QStringLiteral("Glow")); });
    onEntry("shadow", [this] { m_registry.show<FxForm>()->setEffect(QStringLiteral("Shadow")); });
    onEntry("dshadow",
            [this] { m_registry.show<FxForm>()->setEffect(QStringLiteral("Dropshadow")); });
    onEntry("faq", [this] { m_registry.show<FaqForm>(); });
    onEntry("contact", [] { ContactMessage::show(); });
    onEntry("about", [this] { m_registry.show<AboutHtml>(); });
    onEntry("korvanetech", [this] { m_registry.show<AboutKorvaneTech>(); });

    onClick("addbullet", [this] { m_registry.window<Form2>()->popUp(button("addbullet")); });
    onClick("addline", [this] { m_registry.window<Form3>()->popUp(button("addline")); });
    onClick("Command1", [this] { m_registry.window<Form4>()->popUp(button("Command1")); });

    // A click on the button of a palette or of the size window takes the focus
    // from whichever of them is open, and that closes it; the click then opens
    // a fresh one, placed again. Closing here keeps that order whenever the
    // window system gets round to reporting the focus change.
    const auto closeDropDowns = [this] {
        for (const QString &name : {TextColor::windowName(), BgColor::windowName(),
                                    HlightColor::windowName(), TxtSize::windowName()}) {
            if (QWidget *open = m_registry.find(name))
                open->close();
        }
    };
    onClick("textcolorbutton", [this, closeDropDowns] {
        closeDropDowns();
        m_registry.show<TextColor>();
    });
    onClick("backcolorbutton", [this, closeDropDowns] {
        closeDropDowns();
        m_registry.show<BgColor>();
    });
    onClick("highlight", [this, closeDropDowns] {
        closeDropDowns();
        m_registry.show<HlightColor>();
    });
    onClick("textsizebutton", [this, closeDropDowns] {
        closeDropDowns();
        m_registry.show<TxtSize>();
    });
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
    // However the main window closes, every other window closes with it.
    m_registry.closeOtherWindows();
    m_registry.release(this);
    event->accept();
}
