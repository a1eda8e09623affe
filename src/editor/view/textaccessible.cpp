#include "editor/view/textaccessible.h"

#include "editor/view/textview.h"

namespace {

QAccessibleInterface *createInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String("TextView")) {
        if (auto *view = qobject_cast<TextView *>(object))
            return new TextAccessible(view);
    }
    return nullptr;
}

} // namespace

TextAccessible::TextAccessible(TextView *view) : QAccessibleWidget(view, QAccessible::EditableText)
{
}

void TextAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(createInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

TextView *TextAccessible::view() const
{
    return static_cast<TextView *>(widget());
}

void *TextAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface *>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString TextAccessible::text(QAccessible::Text type) const
{
    if (type == QAccessible::Value)
        return view()->model().text().text();
    return QAccessibleWidget::text(type);
}

QAccessible::State TextAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.multiLine = true;
    state.selectableText = true;
    return state;
}

void TextAccessible::selection(int selectionIndex, int *startOffset, int *endOffset) const
{
    const TextModel &model = view()->model();
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && model.hasSelection()) {
        *startOffset = model.selectionStart();
        *endOffset = model.selectionEnd();
    }
}

int TextAccessible::selectionCount() const
{
    return view()->model().hasSelection() ? 1 : 0;
}

void TextAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void TextAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0) {
        TextModel &model = view()->model();
        model.setSelection(model.caret(), model.caret());
    }
}

void TextAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        view()->model().setSelection(endOffset, startOffset);
}

int TextAccessible::cursorPosition() const
{
    return view()->model().caret();
}

void TextAccessible::setCursorPosition(int position)
{
    view()->model().setSelection(position, position);
}

QString TextAccessible::text(int startOffset, int endOffset) const
{
    return view()->model().text().text(startOffset, endOffset - startOffset);
}

int TextAccessible::characterCount() const
{
    return view()->model().length();
}

QRect TextAccessible::characterRect(int offset) const
{
    TextModel &model = view()->model();
    const int caret = model.caret();
    const int anchor = model.anchor();
    // Measured where the caret would stand, without moving it for good.
    const QSignalBlocker quiet(&model);
    model.setSelection(offset, offset);
    const QRect rect = view()->caretRect();
    model.setSelection(caret, anchor);
    return QRect(view()->mapToGlobal(rect.topLeft()), rect.size());
}

int TextAccessible::offsetAtPoint(const QPoint &point) const
{
    return view()->positionAt(view()->mapFromGlobal(point));
}

void TextAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    view()->model().setSelection(endIndex, startIndex);
}

QString TextAccessible::attributes(int offset, int *startOffset, int *endOffset) const
{
    *startOffset = *endOffset = offset;
    return QString();
}
