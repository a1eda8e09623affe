#include "ui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

#include "ui/clicklabel.h"
#include "ui/namedcombobox.h"
#include "ui/statusline.h"
#include "ui/window.h"

namespace {

// A label that acts as a button: named by its accessible name or its text,
// pressed as a click. It still never takes the keyboard focus.
class ClickLabelAccessible : public QAccessibleWidget
{
public:
    explicit ClickLabelAccessible(ClickLabel *label) : QAccessibleWidget(label, QAccessible::Button)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (t != QAccessible::Name || !own.isEmpty())
            return own;
        return label()->text().trimmed();
    }

    QStringList actionNames() const override { return {pressAction()}; }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction())
            emit label()->clicked();
    }

private:
    ClickLabel *label() const { return static_cast<ClickLabel *>(widget()); }
};

// Qt's own combo box takes its name from its text on this platform.
class NamedComboBoxAccessible : public QAccessibleWidget
{
public:
    explicit NamedComboBoxAccessible(NamedComboBox *box)
        : QAccessibleWidget(box, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->currentText();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = box()->isEditable();
        state.expandable = true;
        state.expanded = box()->view()->isVisible();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &actionName) override
    {
        if (actionName == showMenuAction())
            box()->showPopup();
        else
            QAccessibleWidget::doAction(actionName);
    }

private:
    NamedComboBox *box() const { return static_cast<NamedComboBox *>(widget()); }
};

// A status bar whose text can be read, so that its text-change events carry
// the new status to a screen reader.
class StatusLineAccessible : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit StatusLineAccessible(StatusLine *line)
        : QAccessibleWidget(line, QAccessible::StatusBar)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name || t == QAccessible::Value)
            return status();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.readOnly = true;
        return state;
    }

    QString text(int startOffset, int endOffset) const override
    {
        return status().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(status().size()); }
    void selection(int, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return QRect(); }
    int offsetAtPoint(const QPoint &) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = offset;
        return QString();
    }

private:
    QString status() const { return static_cast<StatusLine *>(widget())->text(); }
};

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("ClickLabel"))
        return new ClickLabelAccessible(static_cast<ClickLabel *>(object));
    if (className == QLatin1String("StatusLine"))
        return new StatusLineAccessible(static_cast<StatusLine *>(object));
    if (className == QLatin1String("NamedComboBox"))
        return new NamedComboBoxAccessible(static_cast<NamedComboBox *>(object));
    if (className == QLatin1String("Window")) {
        auto *window = static_cast<Window *>(object);
        const bool splash = window->windowType() == Qt::SplashScreen;
        return new QAccessibleWidget(window, splash ? QAccessible::Window : QAccessible::Dialog);
    }
    return nullptr;
}

} // namespace

void Accessibility::install()
{
    static const bool installed = (QAccessible::installFactory(factory), true);
    Q_UNUSED(installed);
}
