#pragma once

#include "ui/window.h"

class Document;
class FileOpenDialog;
class PathBox;
class QPushButton;

// `openform`: reads a page file, named by hand or picked with "Browse", into the editor.
class OpenForm : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::OpenForm;

    explicit OpenForm(WindowRegistry &registry);

    // Reads the page file at `path` into the editor, replacing the page, or
    // says why it cannot; returns whether the page was opened.
    static bool openPage(Document &document, const QString &path);

private:
    void browse();
    void open();

    QPushButton *m_browse;
    PathBox *m_path;
    QPushButton *m_open;
    QPushButton *m_cancel;
    FileOpenDialog *m_dialog;
};
