#include "app/newpage.h"

#include "editor/document.h"
#include "files/saveform2.h"
#include "platform/messagebox.h"
#include "ui/windowregistry.h"

void startNewPage(WindowRegistry &registry)
{
    // Asked every time: the program keeps no record of unsaved changes.
    const QMessageBox::StandardButton answer =
        MessageBox::show({QStringLiteral("Would you like to save?"), QStringLiteral("New file"),
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                          QMessageBox::Yes, QMessageBox::Warning});
    if (answer == QMessageBox::Yes)
        registry.show<SaveForm2>();
    else if (answer == QMessageBox::No)
        registry.document().setPage(QString(), PageFormat());
}
