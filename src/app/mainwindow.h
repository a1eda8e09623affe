#pragma once

#include <QMainWindow>

class Document;
class QAction;
class QComboBox;
class QMenu;
class QToolButton;
class WindowRegistry;

// The main window `Main`: toolbar, font box, menu bar and the source box.
class Main : public QMainWindow
{
    Q_OBJECT

public:
    static QString windowName() { return QStringLiteral("Main"); }

    explicit Main(WindowRegistry &registry);

    Document &document() const { return *m_document; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QToolButton *addCaptionButton(const char *name, const QString &caption, const QString &tooltip,
                                  int left);
    QToolButton *addPictureButton(const char *name, const QString &tooltip, int left);
    QToolButton *addButton(const char *name, const QString &tooltip, int left);
    QAction *addEntry(QMenu *menu, const char *name, const QString &caption);
    QToolButton *button(const char *name) const;
    QAction *entry(const char *name) const;
    void buildToolbar();
    void buildMenus();
    void fillFontBox();
    void connectInlineCommands();
    void connectWindowCommands();
    void applyFontBox();

    WindowRegistry &m_registry;
    QWidget *m_client;
    Document *m_document;
    QComboBox *m_fontBox = nullptr;
};
