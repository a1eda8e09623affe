#include "find/findreplace.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QWindow>

#include "editor/document.h"
#include "editor/text/pagesearch.h"
#include "ui/placement.h"
#include "ui/statusline.h"

namespace {

// The layout, in twips: labels, boxes and options on the left, the buttons
// stacked on the right, the status line across the bottom.
constexpr int LabelLeft = 120;
constexpr int LabelWidth = 1800;
constexpr int BoxLeft = LabelLeft + LabelWidth + 60;
constexpr int BoxWidth = 4200;
constexpr int BoxHeight = 345;
constexpr int OptionWidth = 2340;
constexpr int OptionHeight = 300;
constexpr int SecondColumn = BoxLeft + OptionWidth + 60;
constexpr int ButtonLeft = BoxLeft + BoxWidth + 180;
constexpr int ButtonWidth = 1920;
constexpr int ButtonHeight = 375;
constexpr int StatusTop = 2520;
constexpr int ClientWidth = ButtonLeft + ButtonWidth + 120;
constexpr int ClientHeight = StatusTop + 420;

// A selection longer than this is not taken as what to find.
constexpr int LongestPatternTaken = 1000;

} // namespace

FindReplace::FindReplace(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("Find and Replace"), Border::ToolWindow, ClientWidth,
             ClientHeight)
{
    m_find = add<QLineEdit>(this, "findwhat", BoxLeft, 120, BoxWidth, BoxHeight);
    m_find->setAccessibleName(QStringLiteral("Find what"));
    m_replace = add<QLineEdit>(this, "replacewith", BoxLeft, 585, BoxWidth, BoxHeight);
    m_replace->setAccessibleName(QStringLiteral("Replace with"));
    add<QLabel>(this, "findlabel", LabelLeft, 165, LabelWidth, 255, QStringLiteral("Fi&nd what:"))
        ->setBuddy(m_find);
    add<QLabel>(this, "replacelabel", LabelLeft, 630, LabelWidth, 255,
                QStringLiteral("Re&place with:"))
        ->setBuddy(m_replace);

    m_matchCase = addOption("matchcase", QStringLiteral("Match &case"), BoxLeft, 1080);
    m_wholeWords = addOption("wholewords", QStringLiteral("&Whole words"), BoxLeft, 1410);
    m_regular =
        addOption("regularexpression", QStringLiteral("Regular e&xpression"), BoxLeft, 1740);
    m_inSelection = addOption("inselection", QStringLiteral("In se&lection"), SecondColumn, 1080);
    m_wrapAround = addOption("wraparound", QStringLiteral("Wrap ar&ound"), SecondColumn, 1410);

    m_findNext = addButton("findnext", QStringLiteral("&Find Next"), 120);
    m_findNext->setDefault(true);
    QPushButton *previous = addButton("findprevious", QStringLiteral("Find Pre&vious"), 555);
    QPushButton *replace = addButton("replace", QStringLiteral("&Replace"), 1080);
    QPushButton *replaceAll = addButton("replaceall", QStringLiteral("Replace &All"), 1515);
    QPushButton *close = addButton("close", QStringLiteral("Close"), 2040);
    m_status =
        add<StatusLine>(this, "status", LabelLeft, StatusTop, ClientWidth - 2 * LabelLeft, 300);
    m_status->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    // The settings are shown before any change of a control is written back.
    showSettings();
    PageSearch *page = &search();
    for (QLineEdit *box : {m_find, m_replace})
        connect(box, &QLineEdit::textChanged, this, &FindReplace::writeSettings);
    for (QCheckBox *option : {m_matchCase, m_wholeWords, m_regular, m_inSelection, m_wrapAround})
        connect(option, &QCheckBox::toggled, this, &FindReplace::writeSettings);
    connect(m_findNext, &QPushButton::clicked, page, &PageSearch::findNext);
    connect(previous, &QPushButton::clicked, page, &PageSearch::findPrevious);
    connect(replace, &QPushButton::clicked, page, &PageSearch::replace);
    connect(replaceAll, &QPushButton::clicked, page, &PageSearch::replaceAll);
    connect(close, &QPushButton::clicked, this, &FindReplace::backToPage);
    // A match found under the window is not left hidden by it.
    connect(page, &PageSearch::marksChanged, this, [this] {
        if (isVisible() && search().marksShown() && search().current().isValid())
            keepOffMatch();
    });
    // A screen reader hears each answer, not the progress on the way to it.
    connect(page, &PageSearch::statusChanged, m_status, [this](const QString &status) {
        m_status->setStatus(status, search().isBusy() ? StatusLine::Announce::No
                                                      : StatusLine::Announce::Yes);
    });

    setTabChain({m_find, m_replace, m_matchCase, m_wholeWords, m_regular, m_inSelection,
                 m_wrapAround, m_findNext, previous, replace, replaceAll, close});
}

QCheckBox *FindReplace::addOption(const char *name, const QString &caption, int left, int top)
{
    return add<QCheckBox>(this, name, left, top, OptionWidth, OptionHeight, caption);
}

QPushButton *FindReplace::addButton(const char *name, const QString &caption, int top)
{
    return add<QPushButton>(this, name, ButtonLeft, top, ButtonWidth, ButtonHeight, caption);
}

PageSearch &FindReplace::search() const
{
    return document().search();
}

void FindReplace::showSettings()
{
    const PageSearch::Settings &settings = search().settings();
    m_find->setText(settings.pattern);
    m_replace->setText(settings.replacement);
    m_matchCase->setChecked(settings.options.matchCase);
    m_wholeWords->setChecked(settings.options.wholeWords);
    m_regular->setChecked(settings.options.regularExpression);
    m_inSelection->setChecked(settings.inSelection);
    m_wrapAround->setChecked(settings.wrapAround);
    m_status->setStatus(search().status(), StatusLine::Announce::No);
}

void FindReplace::writeSettings()
{
    PageSearch::Settings settings;
    settings.pattern = m_find->text();
    settings.replacement = m_replace->text();
    settings.options.matchCase = m_matchCase->isChecked();
    settings.options.wholeWords = m_wholeWords->isChecked();
    settings.options.regularExpression = m_regular->isChecked();
    settings.inSelection = m_inSelection->isChecked();
    settings.wrapAround = m_wrapAround->isChecked();
    search().setSettings(settings);
}

void FindReplace::start(FindRequest request)
{
    takeSelection();
    QLineEdit *box = request == FindRequest::Replace ? m_replace : m_find;
    box->setFocus();
    box->selectAll();
}

void FindReplace::takeSelection()
{
    const int length = document().selectionLength();
    if (length == 0 || length > LongestPatternTaken)
        return;
    const QString selected = document().selectedText();
    if (selected.contains(QLatin1Char('\n')))
        return;
    m_find->setText(m_regular->isChecked() ? QRegularExpression::escape(selected) : selected);
}

void FindReplace::keyPressEvent(QKeyEvent *event)
{
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    const int key = event->key();
    if (plain && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
        // As in a dialog: a button with the focus, else the default one.
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        (focused ? focused : m_findNext)->click();
    } else if (plain && key == Qt::Key_Escape) {
        backToPage();
    } else {
        Window::keyPressEvent(event);
    }
}

void FindReplace::backToPage()
{
    close();
    QWidget *page = document().widget();
    page->activateWindow();
    page->setFocus(Qt::OtherFocusReason);
}

void FindReplace::showEvent(QShowEvent *event)
{
    Window::showEvent(event);
    if (event->spontaneous())
        return;
    belongToPage();
    // Where the window stands, and how wide its frame is, is known once a
    // window manager has placed it: it keeps off the match from then on.
    if (QWindow *own = windowHandle())
        own->installEventFilter(this);
}

bool FindReplace::eventFilter(QObject *watched, QEvent *event)
{
    QWindow *own = windowHandle();
    if (watched == own && event->type() == QEvent::Expose && own->isExposed()) {
        own->removeEventFilter(this);
        keepOffMatch();
    }
    return Window::eventFilter(watched, event);
}

void FindReplace::belongToPage()
{
    // Qt makes a tool window transient for a hidden window of its own, and
    // a window manager then puts it anywhere; one transient for the main
    // window goes beside it and stays above it.
    QWindow *own = windowHandle();
    QWindow *owner = document().widget()->window()->windowHandle();
    if (own && owner)
        own->setTransientParent(owner);
}

void FindReplace::keepOffMatch()
{
    QWidget *page = document().widget();
    const QRect match = document().selectionOnScreen();
    if (match.isEmpty())
        return;
    QWidget *main = page->window();
    const QPoint place = Placement::clearOf(frameGeometry(), match, main->frameGeometry(),
                                            main->screen()->availableGeometry());
    if (place != pos())
        move(place);
}

void FindReplace::closeEvent(QCloseEvent *event)
{
    // Nothing goes on or stays marked for a window that is gone.
    search().cancel();
    search().hideMarks();
    Window::closeEvent(event);
}
