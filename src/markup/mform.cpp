#include "markup/mform.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "editor/document.h"
#include "ui/namedcombobox.h"

namespace {

const QString Placeholder = QStringLiteral("Direction");

} // namespace

MForm::MForm(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("Add Marquee"), Border::ToolWindow, 3360, 1545)
{
    auto *textFrame = add<QGroupBox>(this, "Frame1", 120, 0, 3135, 735, QStringLiteral("Text"));
    m_text = add<QLineEdit>(textFrame, "Text1", 120, 240, 2895, 375);

    // The frame is drawn around the combo box, which lies on top of it.
    add<QGroupBox>(this, "Frame2", 120, 840, 1335, 615, QStringLiteral("Direction"));
    m_direction =
        add<NamedComboBox>(this, "Combo1", 240, 1080, 1095, 315, QStringLiteral("Direction"));
    m_direction->setEditable(true);
    // A typed direction is used as it stands: neither completed from the list
    // ("d" stays "d", not "Down") nor collected into it.
    m_direction->setCompleter(nullptr);
    m_direction->setInsertPolicy(QComboBox::NoInsert);
    m_direction->addItems({QStringLiteral("Up"), QStringLiteral("Down"), QStringLiteral("Left"),
                           QStringLiteral("Right")});
    // No entry is chosen while the placeholder shows: the first Down gives "Up".
    m_direction->setCurrentIndex(-1);
    m_direction->setEditText(Placeholder);

    auto *finished =
        add<QGroupBox>(this, "Frame3", 1560, 840, 1695, 615, QStringLiteral("Finished"));
    auto *insert = add<QPushButton>(finished, "Command1", 120, 240, 1455, 255,
                                    QStringLiteral("Insert marquee"));
    connect(insert, &QPushButton::clicked, this, &MForm::insertMarquee);

    setTabChain({m_direction, m_text, insert});
    m_direction->setFocus();
}

void MForm::insertMarquee()
{
    const QString text = m_text->text();
    const QString direction = m_direction->currentText();
    // No text, or the direction never chosen: the user is done without a marquee.
    if (text.isEmpty() || direction == Placeholder) {
        close();
        return;
    }
    // An emptied direction is ignored; the user may still type one.
    if (direction.isEmpty())
        return;
    document().insertFragment("<marquee direction=" + direction + ">" + text + "</marquee>");
    close();
}
