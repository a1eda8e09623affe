#pragma once

#include "markup/entrywindow.h"

class QLineEdit;

// `addtitle`: puts a page title element where the caret stands.
class AddTitle : public EntryWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::AddTitle;

    explicit AddTitle(WindowRegistry &registry);

protected:
    void insert() override;

private:
    QLineEdit *m_title;
};
