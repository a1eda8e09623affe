#pragma once

#include <QString>

#include "files/descriptor.h"

// The user's folder for the program's state (recovery journals, copies of
// pages being written over): $XDG_STATE_HOME/tagloom, else
// ~/.local/state/tagloom. It holds page text, so it is used only when it is
// the user's own and nobody else may write in it.
namespace StateFolder {

QString location();

// The folder, never through a symbolic link, and only when it belongs to
// the user and no one else may write it; with `create`, made with mode 0700
// where missing, as is each missing folder on the way. Else an invalid
// descriptor with errno set: ELOOP for a link, EPERM for a folder that is
// not private. Nothing that exists is ever changed.
Descriptor open(bool create = false);

} // namespace StateFolder
