#include "markup/entrywindow.h"

#include <QPushButton>

QPushButton *EntryWindow::addDoneButton(int left, int top, int width)
{
    auto *done = add<QPushButton>(this, "Command1", left, top, width, 255, QStringLiteral("Done"));
    connect(done, &QPushButton::clicked, this, [this] {
        insert();
        close();
    });
    return done;
}

QPushButton *EntryWindow::addCancelButton(int left, int top, int width)
{
    auto *cancel =
        add<QPushButton>(this, "Command2", left, top, width, 255, QStringLiteral("Cancel"));
    connect(cancel, &QPushButton::clicked, this, &QWidget::close);
    return cancel;
}
