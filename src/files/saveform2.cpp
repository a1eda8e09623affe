#include "files/saveform2.h"

void SaveForm2::saved()
{
    // Only a page that is safely on disk is emptied, replaced or closed.
    if (m_nextStep)
        m_nextStep();
}
