#include "files/savefirst.h"

#include "editor/document.h"
#include "files/saveform2.h"
#include "platform/messagebox.h"
#include "ui/windowregistry.h"

bool askToSave(WindowRegistry &registry, const QString &title, std::function<void()> then)
{
    const QMessageBox::StandardButton answer =
        MessageBox::show({QStringLiteral("Would you like to save?"), title,
                          QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                          QMessageBox::Yes, QMessageBox::Warning});
    if (answer == QMessageBox::Yes)
        registry.show<SaveForm2>()->setNextStep(std::move(then));
    return answer == QMessageBox::No;
}

bool saveIfChanged(WindowRegistry &registry, std::function<void()> then)
{
    if (!registry.document().isModified())
        return true;
    return askToSave(registry, QStringLiteral("Tagloom"), std::move(then));
}
