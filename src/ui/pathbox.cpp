#include "ui/pathbox.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>

#include "platform/filename.h"

PathBox::PathBox(QWidget *parent) : QLineEdit(parent) {}

QString PathBox::pathFrom(const QMimeData *data)
{
    if (!data)
        return {};
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            return FileName::fromLocalFile(url);
    }
    // The raw bytes: text() would read them as UTF-8 and lose what is not.
    const QByteArray text = data->data(QStringLiteral("text/plain"));
    return text.isEmpty() ? data->text() : FileName::decode(text);
}

void PathBox::pasteFrom(const QMimeData *data)
{
    if (!isReadOnly())
        insert(pathFrom(data));
}

void PathBox::keyPressEvent(QKeyEvent *event)
{
    if (!event->matches(QKeySequence::Paste))
        return QLineEdit::keyPressEvent(event);
    pasteFrom(QApplication::clipboard()->mimeData());
    event->accept();
}

// The X11 primary selection, pasted by the middle button.
void PathBox::mouseReleaseEvent(QMouseEvent *event)
{
    QClipboard *clipboard = QApplication::clipboard();
    if (event->button() != Qt::MiddleButton || !clipboard->supportsSelection())
        return QLineEdit::mouseReleaseEvent(event);
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    pasteFrom(clipboard->mimeData(QClipboard::Selection));
    event->accept();
}

void PathBox::contextMenuEvent(QContextMenuEvent *event)
{
    QPointer<QMenu> menu = createStandardContextMenu();
    for (QAction *action : menu->actions()) {
        if (action->objectName() != QLatin1String("edit-paste"))
            continue;
        disconnect(action, &QAction::triggered, this, nullptr);
        connect(action, &QAction::triggered, this,
                [this] { pasteFrom(QApplication::clipboard()->mimeData()); });
    }
    menu->exec(event->globalPos());
    delete menu;
}

// Qt's own box takes drops of plain text, a move within itself among them.
bool PathBox::keepsBytes(const QMimeData *data) const
{
    return !isReadOnly() &&
           (data->hasUrls() || !data->data(QStringLiteral("text/plain")).isValidUtf8());
}

void PathBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (keepsBytes(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragEnterEvent(event);
}

void PathBox::dragMoveEvent(QDragMoveEvent *event)
{
    if (keepsBytes(event->mimeData()))
        event->acceptProposedAction();
    else
        QLineEdit::dragMoveEvent(event);
}

void PathBox::dropEvent(QDropEvent *event)
{
    if (!keepsBytes(event->mimeData()))
        return QLineEdit::dropEvent(event);
    deselect();
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    pasteFrom(event->mimeData());
    event->acceptProposedAction();
    setFocus(Qt::MouseFocusReason);
}
