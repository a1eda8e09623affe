#include "help/contactmessage.h"

#include "help/maker.h"
#include "platform/messagebox.h"

namespace ContactMessage {

void show()
{
    MessageBox::inform("If you want to contact us for information, questions, or help, please "
                       "e-mail " +
                           Maker::email() + " and title the E-mail: Tagloom",
                       QStringLiteral("Contact"));
}

} // namespace ContactMessage
