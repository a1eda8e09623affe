#pragma once

class WindowRegistry;

// "New": asks whether to save the page first, then starts an empty page,
// at once on No, through `saveform2` on Yes, not at all on Cancel.
void startNewPage(WindowRegistry &registry);
