#pragma once

#include "markup/entrywindow.h"

class QLineEdit;

// `addlinkform`: puts a link with its address and visible text where the caret stands.
class AddLinkForm : public EntryWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::AddLinkForm;

    explicit AddLinkForm(WindowRegistry &registry);

protected:
    void insert() override;

private:
    QLineEdit *m_text;
    QLineEdit *m_url;
};
