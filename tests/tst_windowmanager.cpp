#include <QAction>
#include <QGuiApplication>
#include <QHash>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <cstdlib>
#include <functional>

#include <xcb/xcb.h>

#include "app/mainwindow.h"
#include "app/splash.h"
#include "help/abouthtml.h"
#include "help/faqform.h"
#include "markup/addlinkform.h"
#include "markup/mform.h"
#include "markup/palette.h"
#include "markup/picinternet.h"
#include "markup/txtsize.h"
#include "testsupport.h"
#include "ui/twips.h"
#include "ui/windowregistry.h"

// What the program asks of the window manager and how it copes with what a
// window manager does anyway. Runs on the offscreen platform and on an X
// server under a real window manager.
class TestWindowManager : public QObject
{
    Q_OBJECT

private slots:
    void minimizedWindowComesBack_data();
    void minimizedWindowComesBack();
    void untitledWindowsDrawTheirBorder_data();
    void untitledWindowsDrawTheirBorder();
    void hints_data();
    void hints();
    void closeBoxFromWindowManager_data();
    void closeBoxFromWindowManager();
    void iconSizes();

private:
    // Opens any window of the program by its name, without a menu in between.
    static QWidget *open(WindowRegistry &windows, const QString &name);
    // Opens a window by its menu entry or toolbar button.
    static void choose(TestSupport::Program &program, const QString &control)
    {
        if (QAction *entry = program.entry(control))
            entry->trigger();
        else
            program.button(control)->click();
    }
};

namespace {

xcb_connection_t *connection()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return QGuiApplication::platformName() == "xcb" && x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(const QByteArray &name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), false, quint16(name.size()), name.constData()),
        nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return found;
}

QByteArray atomName(xcb_atom_t atom)
{
    xcb_get_atom_name_reply_t *reply =
        xcb_get_atom_name_reply(connection(), xcb_get_atom_name(connection(), atom), nullptr);
    QByteArray name;
    if (reply)
        name = QByteArray(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply));
    std::free(reply);
    return name;
}

// A 32-bit property of an X window, as its numbers.
QList<quint32> windowProperty(xcb_window_t window, const QByteArray &name)
{
    xcb_get_property_reply_t *reply =
        xcb_get_property_reply(connection(),
                               xcb_get_property(connection(), false, window, atom(name),
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
                               nullptr);
    QList<quint32> values;
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        values = QList<quint32>(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

QByteArrayList atomNames(xcb_window_t window, const QByteArray &name)
{
    QByteArrayList names;
    for (quint32 value : windowProperty(window, name))
        names.append(atomName(value));
    return names;
}

bool windowManagerRuns()
{
    return !windowProperty(xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root,
                           "_NET_SUPPORTING_WM_CHECK")
                .isEmpty();
}

// Motif hints by name: functions and decorations.
quint32 motifBits(const QStringList &names)
{
    static const QHash<QString, quint32> bits = {
        {"move", 1 << 2},  {"minimize", 1 << 3}, {"close", 1 << 5},          {"border", 1 << 1},
        {"title", 1 << 3}, {"menu", 1 << 4},     {"minimize button", 1 << 5}};
    quint32 all = 0;
    for (const QString &name : names)
        all |= bits.value(name);
    return all;
}

} // namespace

QWidget *TestWindowManager::open(WindowRegistry &windows, const QString &name)
{
    static const QHash<QString, std::function<QWidget *(WindowRegistry &)>> openers = {
        {"Main", [](WindowRegistry &w) { return w.find<Main>(); }},
        {"faqForm", [](WindowRegistry &w) { return w.show<FaqForm>(); }},
        {"mform", [](WindowRegistry &w) { return w.show<MForm>(); }},
        {"addlinkform", [](WindowRegistry &w) { return w.show<AddLinkForm>(); }},
        {"picinternet", [](WindowRegistry &w) { return w.show<PicInternet>(); }},
        {"textcolor", [](WindowRegistry &w) { return w.show<TextColor>(); }},
        {"txtsize", [](WindowRegistry &w) { return w.show<TxtSize>(); }},
        {"splash",
         [](WindowRegistry &w) {
             Splash *splash = w.show<Splash>();
             splash->findChild<QTimer *>("Timer1")->stop();
             return splash;
         }},
    };
    return openers.value(name)(windows);
}

void TestWindowManager::minimizedWindowComesBack_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("window");
    QTest::newRow("FAQ") << "faq"
                         << "faqForm";
    QTest::newRow("about") << "about"
                           << "AboutHTML";
    QTest::newRow("marquee") << "marquee"
                             << "mform";
    QTest::newRow("text effect") << "glow"
                                 << "fxform";
    QTest::newRow("open") << "open"
                          << "openform";
    QTest::newRow("link, no close box") << "addlink"
                                        << "addlinkform";
}

void TestWindowManager::minimizedWindowComesBack()
{
    QFETCH(QString, control);
    QFETCH(QString, window);
    TestSupport::Program program;
    choose(program, control);
    QPointer<QWidget> shown = TestSupport::findWindow(program.windows(), window);
    QVERIFY(shown && QTest::qWaitForWindowExposed(shown));
    shown->showMinimized();
    QTRY_VERIFY(shown->isMinimized());

    choose(program, control);
    QCOMPARE(TestSupport::findWindow(program.windows(), window), shown.data());
    QTRY_VERIFY(!shown->isMinimized());
    QVERIFY(shown->isVisible());
    QTRY_VERIFY(shown->isActiveWindow());
}

void TestWindowManager::untitledWindowsDrawTheirBorder_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("window");
    QTest::addColumn<QSize>("clientTwips");
    QTest::newRow("text colour") << "textcolorbutton"
                                 << "textcolor" << QSize(2070, 630);
    QTest::newRow("background colour") << "backcolorbutton"
                                       << "bgcolor" << QSize(2070, 630);
    QTest::newRow("highlight") << "highlight"
                               << "hlightcolor" << QSize(2070, 630);
    QTest::newRow("text size") << "textsizebutton"
                               << "txtsize" << QSize(1230, 495);
}

void TestWindowManager::untitledWindowsDrawTheirBorder()
{
    QFETCH(QString, button);
    QFETCH(QString, window);
    QFETCH(QSize, clientTwips);
    TestSupport::Program program;
    program.button(button)->click();
    QWidget *shown = TestSupport::findWindow(program.windows(), window);
    QVERIFY(shown && QTest::qWaitForWindowExposed(shown));
    // No title bar, and no frame from the window manager either.
    QVERIFY(shown->windowTitle().isEmpty());
    QCOMPARE(shown->frameGeometry(), shown->geometry());

    // The client area, where the controls stand, lies inside a border all round.
    QWidget *client = shown->findChild<QWidget *>("Label1")->parentWidget();
    const QRect inside = QRect(client->mapTo(shown, QPoint()), client->size());
    QCOMPARE(inside.size(), Twips::size(clientTwips.width(), clientTwips.height()));
    QVERIFY(inside.left() > 0 && inside.top() > 0);
    QCOMPARE(shown->width() - inside.right() - 1, inside.left());
    QCOMPARE(shown->height() - inside.bottom() - 1, inside.top());

    // Every pixel of the border stands out from the grey of the window.
    const QImage image = shown->grab().toImage();
    const QRgb grey = shown->palette().color(QPalette::Window).rgb();
    const int plain = TestSupport::countPixels(
        image, [&](QPoint at, QRgb pixel) { return !inside.contains(at) && pixel == grey; });
    QCOMPARE(plain, 0);
}

void TestWindowManager::hints_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QStringList>("functions");
    QTest::addColumn<QStringList>("decorations");
    QTest::addColumn<bool>("taskbarButton");
    QTest::addColumn<QByteArray>("type");
    QTest::newRow("main window") << "Main" << QStringList{"move", "minimize", "close"}
                                 << QStringList{"border", "title", "menu", "minimize button"}
                                 << true << QByteArray("_NET_WM_WINDOW_TYPE_NORMAL");
    for (const char *tool : {"faqForm", "mform"}) {
        QTest::newRow(tool) << tool << QStringList{"move", "close"}
                            << QStringList{"border", "title"} << false
                            << QByteArray("_NET_WM_WINDOW_TYPE_UTILITY");
    }
    for (const char *noClose : {"addlinkform", "picinternet"}) {
        QTest::newRow(noClose) << noClose << QStringList{"move"} << QStringList{"border", "title"}
                               << false << QByteArray("_NET_WM_WINDOW_TYPE_UTILITY");
    }
    // No title bar: nothing to move, close or minimize the window by.
    for (const char *untitled : {"textcolor", "txtsize"}) {
        QTest::newRow(untitled) << untitled << QStringList{} << QStringList{} << true
                                << QByteArray("_NET_WM_WINDOW_TYPE_NORMAL");
    }
    QTest::newRow("splash") << "splash" << QStringList{} << QStringList{} << false
                            << QByteArray("_NET_WM_WINDOW_TYPE_SPLASH");
}

void TestWindowManager::hints()
{
    QFETCH(QString, window);
    QFETCH(QStringList, functions);
    QFETCH(QStringList, decorations);
    QFETCH(bool, taskbarButton);
    QFETCH(QByteArray, type);
    if (!connection())
        QSKIP("window manager hints are read on X11");
    TestSupport::Program program;
    QWidget *shown = open(program.windows(), window);
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    const auto id = xcb_window_t(shown->winId());

    const QList<quint32> motif = windowProperty(id, "_MOTIF_WM_HINTS");
    QCOMPARE(motif.size(), 5);
    QCOMPARE(motif.at(0), 3u); // functions and decorations both given
    QCOMPARE(motif.at(1), motifBits(functions));
    QCOMPARE(motif.at(2), motifBits(decorations));
    QCOMPARE(atomNames(id, "_NET_WM_WINDOW_TYPE").value(0), type);
    // The window manager keeps the state once the window is mapped; it must keep this.
    QTRY_COMPARE(atomNames(id, "_NET_WM_STATE").contains("_NET_WM_STATE_SKIP_TASKBAR"),
                 !taskbarButton);

    // A fixed window is never resized or maximized, whoever keeps the allowed actions.
    const QByteArrayList actions = atomNames(id, "_NET_WM_ALLOWED_ACTIONS");
    for (const char *never :
         {"_NET_WM_ACTION_RESIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT"})
        QVERIFY2(!actions.contains(never), never);
    if (!windowManagerRuns()) {
        QByteArrayList own;
        for (const QString &function : functions)
            own.append("_NET_WM_ACTION_" + function.toUpper().toLatin1());
        QCOMPARE(actions, own);
    }
}

void TestWindowManager::closeBoxFromWindowManager_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("closes");
    QTest::newRow("FAQ, with a close box") << "faqForm" << true;
    QTest::newRow("marquee, with a close box") << "mform" << true;
    QTest::newRow("link, without") << "addlinkform" << false;
    QTest::newRow("web picture, without") << "picinternet" << false;
}

void TestWindowManager::closeBoxFromWindowManager()
{
    QFETCH(QString, window);
    QFETCH(bool, closes);
    if (!connection())
        QSKIP("sends the window manager's close request on X11");
    TestSupport::Program program;
    QPointer<QWidget> shown = open(program.windows(), window);
    // A window with a close box, asked second: once it has closed, the first
    // request has been dealt with too.
    QPointer<QWidget> witness = program.windows().show<AboutHtml>();
    QVERIFY(QTest::qWaitForWindowExposed(shown) && QTest::qWaitForWindowExposed(witness));
    // What a window manager sends when its close box is clicked.
    for (QWidget *asked : {shown.data(), witness.data()}) {
        xcb_client_message_event_t message = {};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = xcb_window_t(asked->winId());
        message.type = atom("WM_PROTOCOLS");
        message.data.data32[0] = atom("WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection(), false, message.window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(&message));
    }
    xcb_flush(connection());
    QTRY_VERIFY(!program.windows().find<AboutHtml>());
    QCOMPARE(TestSupport::findWindow(program.windows(), window) == nullptr, closes);
    if (closes)
        return;
    QVERIFY(shown->isVisible());
    // The program's end still closes it.
    program.windows().closeOtherWindows();
    QVERIFY(!TestSupport::findWindow(program.windows(), window));
}

void TestWindowManager::iconSizes()
{
    if (!connection())
        QSKIP("the window icon is read on X11");
    TestSupport::Program program;
    QVERIFY(QTest::qWaitForWindowExposed(program.main()));
    // Each image is its width, its height and that many pixels.
    const QList<quint32> icon =
        windowProperty(xcb_window_t(program.main()->winId()), "_NET_WM_ICON");
    QList<QSize> sizes;
    for (qsizetype at = 0; at + 1 < icon.size(); at += 2 + qsizetype(icon[at]) * icon[at + 1])
        sizes.append(QSize(int(icon[at]), int(icon[at + 1])));
    QCOMPARE(sizes, (QList<QSize>{{48, 48}, {32, 32}, {16, 16}}));
}

QTEST_MAIN(TestWindowManager)
#include "tst_windowmanager.moc"
