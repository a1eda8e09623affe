#include "markup/piccomp.h"

#include <QPushButton>

#include "editor/document.h"
#include "platform/fileopendialog.h"
#include "ui/pathbox.h"

PicComp::PicComp(WindowRegistry &registry)
    : Window(registry, Id, QStringLiteral("piccomp"), Border::ToolWindow, 4500, 1125),
      m_dialog(new FileOpenDialog(this))
{
    m_dialog->setDefaultExtension(QStringLiteral(".bmp;.gif;.jpg"));
    m_dialog->setFilter(QStringLiteral("Pictures (*.bmp;*.gif;*.jpg;*.png;*.tif;*.tiff)"),
                        {QStringLiteral("*.bmp"), QStringLiteral("*.gif"), QStringLiteral("*.jpg"),
                         QStringLiteral("*.png"), QStringLiteral("*.tif"),
                         QStringLiteral("*.tiff")});

    auto *browse =
        add<QPushButton>(this, "Command1", 2880, 240, 1335, 255, QStringLiteral("Browse"));
    m_path = add<PathBox>(this, "Text1", 240, 240, 2535, 285);
    auto *done = add<QPushButton>(this, "Command2", 3360, 720, 855, 255, QStringLiteral("Done"));
    auto *cancel = add<QPushButton>(this, "Command3", 240, 720, 855, 255, QStringLiteral("Cancel"));
    m_path->setAccessibleName(QStringLiteral("Picture path"));
    setTabChain({browse, m_path, done, cancel});
    browse->setFocus();

    connect(browse, &QPushButton::clicked, this, &PicComp::browse);
    connect(done, &QPushButton::clicked, this, &PicComp::done);
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
}

void PicComp::browse()
{
    // A cancelled dialog keeps its previous file name, and the box shows that.
    m_dialog->showOpen(this, m_path->text());
    m_path->setText(m_dialog->fileName());
}

void PicComp::done()
{
    document().insertFragment("<img src=" + m_path->text() + ">");
    close();
}
