#include "files/saveform2.h"

#include "editor/document.h"

void SaveForm2::saved()
{
    // Only a page that is safely on disk is dropped; the new page starts in
    // the default format.
    document().setPage(QString(), PageFormat());
}
