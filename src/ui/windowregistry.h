#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>

#include "ui/windowid.h"

class Document;

// Hands out the single instance of each of the program's windows, creating it
// on first use, and closes them all in one fixed order.
class WindowRegistry : public QObject
{
    Q_OBJECT

public:
    explicit WindowRegistry(QObject *parent = nullptr);
    ~WindowRegistry() override;

    // Every window of the program by name, in closing order; the main window is last.
    static QStringList closingOrder();

    // The window's single instance, created (hidden) when it does not exist.
    template <class W> W *window()
    {
        QPointer<QWidget> &slot = m_windows[std::size_t(W::Id)];
        if (!slot)
            slot = new W(*this);
        return static_cast<W *>(slot.data());
    }

    // Creates the window if needed, shows it and brings it to the front unchanged.
    template <class W> W *show()
    {
        W *w = window<W>();
        bringToFront(w);
        return w;
    }

    template <class W> W *find() const { return static_cast<W *>(find(W::Id)); }
    QWidget *find(WindowId id) const { return m_windows[std::size_t(id)].data(); }

    // Names of the windows that exist now, in closing order.
    QStringList openWindows() const;

    // The page being edited: the main window's source box, which the main
    // window hands over when it is created.
    Document &document() const;
    void setDocument(Document *document);

    // Closes every window but the main one, in closing order.
    void closeOtherWindows();
    // Closes every window, the main window last; the program then ends.
    void closeAllWindows();

    // Called by a window that is closing: its next use creates a new one.
    void release(WindowId id, const QWidget *window);

signals:
    // Emitted before each window of closeAllWindows() is closed; tests follow the order.
    void closing(const QString &name);

private:
    static void bringToFront(QWidget *window);
    void close(WindowId id);

    std::array<QPointer<QWidget>, WindowIds::Count> m_windows;
    QPointer<Document> m_document;
};
