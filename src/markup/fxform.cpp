#include "markup/fxform.h"

#include <algorithm>

#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "editor/document.h"
#include "ui/multilinebox.h"

FxForm::FxForm(WindowRegistry &registry)
    : EntryWindow(registry, Id, QStringLiteral("Add Text Effect"), Border::ToolWindow, 3705, 2385)
{
    // The effect is kept out of sight: the window looks the same for every effect.
    m_effect = add<QLineEdit>(this, "Text1", 360, 2400, 1695, 285, QStringLiteral("Text1"));
    m_effect->hide();
    m_effect->setAccessibleName(QStringLiteral("Effect"));
    QPushButton *done = addDoneButton(2520, 2040, 855);
    QPushButton *cancel = addCancelButton(120, 2040, 975);

    auto *colorFrame = add<QGroupBox>(this, "Frame1", 120, 120, 1455, 855, QStringLiteral("Color"));
    m_color = add<QLineEdit>(colorFrame, "Text2", 120, 360, 1215, 285);
    auto *strengthFrame =
        add<QGroupBox>(this, "Frame2", 120, 1080, 1455, 855, QStringLiteral("Strength"));
    m_strength = add<QLineEdit>(strengthFrame, "Text3", 120, 360, 1215, 285);
    // Composed input would bypass the key filter.
    m_strength->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_strength->installEventFilter(this);
    auto *textFrame = add<QGroupBox>(this, "Frame3", 1680, 120, 1935, 1815, QStringLiteral("Text"));
    m_text = add<MultiLineBox>(textFrame, "Text4", 120, 240, 1695, 1455);

    setTabChain({done, cancel, m_color, m_strength, m_text});
    done->setFocus();
}

void FxForm::setEffect(const QString &effect)
{
    m_effect->setText(effect);
}

void FxForm::insert()
{
    document().insertFragment("<TABLE Style = filter:" + m_effect->text() +
                              "(color=" + m_color->text() + ",strength=" + m_strength->text() +
                              ")><TR><TD><center>" + m_text->text() + "</TABLE>");
}

bool FxForm::strengthAccepts(const QKeyEvent &event)
{
    // Backspace is a typed character like any other and is refused; Delete,
    // the arrows and Tab are not characters and keep working.
    if (event.key() == Qt::Key_Backspace)
        return false;
    if (event.key() == Qt::Key_Delete || event.key() == Qt::Key_Tab ||
        event.key() == Qt::Key_Backtab)
        return true;
    const QString typed = event.text();
    return std::all_of(typed.cbegin(), typed.cend(),
                       [](QChar ch) { return ch.unicode() >= 47 && ch.unicode() <= 57; });
}

bool FxForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_strength && event->type() == QEvent::KeyPress &&
        !strengthAccepts(*static_cast<QKeyEvent *>(event)))
        return true;
    return EntryWindow::eventFilter(watched, event);
}
