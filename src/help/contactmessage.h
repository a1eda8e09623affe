#pragma once

// The contact instructions, in a message box that waits for OK.
namespace ContactMessage {

void show();

} // namespace ContactMessage
