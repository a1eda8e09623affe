#pragma once

#include "markup/entrywindow.h"

class QLineEdit;

// `addtitle`: puts a page title element where the caret stands.
class AddTitle : public EntryWindow
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("addtitle"); }

    explicit AddTitle(WindowRegistry &registry);

protected:
    void insert() override;

private:
    QLineEdit *m_title;
};
