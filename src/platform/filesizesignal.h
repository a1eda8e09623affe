#pragma once

// A size limit (ulimit -f) ends the program with SIGXFSZ on the first write
// past it, with whatever was typed lost; ignored, the write fails with EFBIG
// like a full disk, and the writer reports it.
namespace FileSizeSignal {

// Ignores SIGXFSZ, unless someone else installed a handler of their own.
void ignore();

} // namespace FileSizeSignal
