#include "ui/accessibility.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>

#include "ui/clicklabel.h"
#include "ui/namedcombobox.h"
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

QAccessibleInterface *factory(const QString &className, QObject *object)
{
    if (className == QLatin1String("ClickLabel"))
        return new ClickLabelAccessible(static_cast<ClickLabel *>(object));
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
