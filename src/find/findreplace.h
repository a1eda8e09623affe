#pragma once

#include "ui/window.h"

enum class FindRequest;
class PageSearch;
class QCheckBox;
class QLineEdit;
class QPushButton;
class StatusLine;

// `findreplace`: Find and Replace over the page, modeless. The window keeps
// nothing of its own: every change of a control goes into the page's search,
// and a window opened again shows the search's settings, so the last pattern
// and options come back.
class FindReplace : public Window
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::FindReplace;

    explicit FindReplace(WindowRegistry &registry);

    // Answers the source box's Find (the focus in "Find what") or Replace
    // (in "Replace with"). A selection within one line becomes what to find;
    // the page's selection itself stays as it is until a search.
    void start(FindRequest request);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QCheckBox *addOption(const char *name, const QString &caption, int left, int top);
    QPushButton *addButton(const char *name, const QString &caption, int top);
    void showSettings();
    void writeSettings();
    void takeSelection();
    // Closes the window and hands the focus back to the source box.
    void backToPage();
    // Makes the window one that a window manager keeps with the main window.
    void belongToPage();
    // Moves the window off the match, or the caret, in the source box.
    void keepOffMatch();
    PageSearch &search() const;

    QLineEdit *m_find;
    QLineEdit *m_replace;
    QCheckBox *m_matchCase;
    QCheckBox *m_wholeWords;
    QCheckBox *m_regular;
    QCheckBox *m_inSelection;
    QCheckBox *m_wrapAround;
    QPushButton *m_findNext;
    StatusLine *m_status;
};
