#include "app/newpage.h"

#include "editor/document.h"
#include "files/savefirst.h"
#include "ui/windowregistry.h"

void startNewPage(WindowRegistry &registry)
{
    // Asked every time, also for an unchanged page; the new page starts in
    // the default format.
    const auto emptyPage = [&registry] { registry.document().setPage(QString(), PageFormat()); };
    if (askToSave(registry, QStringLiteral("New file"), emptyPage))
        emptyPage();
}
