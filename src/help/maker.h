#pragma once

#include <QString>

// The maker's own addresses, as the help and about windows show them.
namespace Maker {

inline QString email()
{
    return QStringLiteral("info@korvanetech.example");
}

// The web address reads as a leading part, the maker's name and a trailing part.
inline QString webAddressLead()
{
    return QStringLiteral("www.");
}
inline QString webAddressTrail()
{
    return QStringLiteral(".example");
}
inline QString webAddress()
{
    return webAddressLead() + "korvanetechnologies" + webAddressTrail();
}

} // namespace Maker
