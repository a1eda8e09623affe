#pragma once

#include <QMainWindow>

#include "ui/windowid.h"

class Document;
class Journal;
class CaretNotice;
class QComboBox;
class QToolButton;
class WindowRegistry;

// The main window `Main`: toolbar, font box, menu bar and the source box.
class Main : public QMainWindow
{
    Q_OBJECT

public:
    static constexpr WindowId Id = WindowId::Main;

    explicit Main(WindowRegistry &registry);

    Document &document() const { return *m_document; }
    Journal &journal() const { return *m_journal; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildToolbar();
    void buildMenus();
    void buildFontBox();
    QToolButton *addButton(const char *name, const QString &caption, const QString &tooltip,
                           int left);
    void applyFontBox();
    // Opens a fresh palette or size window just below `button`.
    template <class W> void dropDown(const QToolButton *button);

    WindowRegistry &m_registry;
    QWidget *m_client;
    Document *m_document;
    Journal *m_journal;
    QComboBox *m_fontBox;
    CaretNotice *m_notice; // what F3 tells while the find window is closed
};
