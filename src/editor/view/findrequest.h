#pragma once

// What a key or the context menu of the source box asks of Find and Replace.
enum class FindRequest {
    Find,         // open the window on "Find what"
    Replace,      // open it on "Replace with"
    FindNext,     // find again without opening it
    FindPrevious, // likewise backwards
};
