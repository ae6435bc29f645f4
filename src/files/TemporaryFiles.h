#pragma once

namespace vornex {

// Temporary files that must not outlive the program. A file is registered from just before it is
// made until it is renamed or removed; when
// SIGINT, SIGTERM or SIGHUP ends the program, the handler installed by
// removeTemporaryFilesOnSignals() removes every registered file, then the signal ends the program
// as it would have. Registering and unregistering take no lock and are safe from any thread.
//
// A ticket for `path`, or -1 when the path is too long or every place is taken (the file is then
// only removed by its owner).
int registerTemporaryFile(const char* path);
void unregisterTemporaryFile(int ticket);

// Called once at program start. A signal that was ignored stays ignored. Whoever catches one of
// the signals later must put the previous handler back when done.
void removeTemporaryFilesOnSignals();

}  // namespace vornex
