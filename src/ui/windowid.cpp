#include "ui/windowid.h"

namespace WindowIds {

QString name(WindowId id)
{
    static const std::array<const char *, Count> names = {
        "findreplace", "AboutHTML", "AboutKorvaneTech", "addlinkform",
        "addtitle",    "bgcolor",   "faqForm",          "Form2",
        "Form3",       "Form4",     "fxform",           "hlightcolor",
        "ipreview",    "mform",     "openform",         "piccomp",
        "picinternet", "saveform",  "saveform2",        "sform",
        "sout",        "splash",    "textcolor",        "txtsize",
        "Main",
    };
    return QLatin1String(names[std::size_t(id)]);
}

} // namespace WindowIds
