#pragma once

#include <QString>

#include <functional>

class WindowRegistry;

// The question "Would you like to save?", asked before the page is emptied,
// replaced or dropped with the program. It returns true when the caller goes
// on at once (No). Yes shows `saveform2`, which carries out `then` once the
// page is written; Cancel, or a save that fails, leaves everything as it was.
bool askToSave(WindowRegistry &registry, const QString &title, std::function<void()> then);

// The same question, asked only when the page changed since it was last
// opened, saved or emptied: an unchanged page loses nothing.
bool saveIfChanged(WindowRegistry &registry, std::function<void()> then);
