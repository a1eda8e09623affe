#include "markup/picinternet.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>

#include "editor/document.h"
#include "platform/messagebox.h"

PicInternet::PicInternet(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("Add Picture From Internet"), Border::ToolWindowNoClose,
             5325, 1455)
{
    auto *frame = add<QGroupBox>(this, "Frame1", 120, 120, 4935, 855, QStringLiteral("Image URL"));
    m_url = add<QLineEdit>(frame, "url", 120, 360, 4695, 285);
    auto *done = add<QPushButton>(this, "Command1", 4200, 1080, 855, 255, QStringLiteral("Done"));
    auto *cancel =
        add<QPushButton>(this, "Command3", 120, 1080, 855, 255, QStringLiteral("Cancel"));
    setTabChain({m_url, done, cancel});
    m_url->setFocus();

    connect(done, &QPushButton::clicked, this, &PicInternet::done);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void PicInternet::done()
{
    // Only the exactly empty address is refused; blanks are written as typed.
    const QString address = m_url->text();
    if (address.isEmpty())
        MessageBox::inform(QStringLiteral("Image box is empty!"), QStringLiteral("Error"));
    else
        document().insertFragment("<img src=" + address + ">");
    close();
}
