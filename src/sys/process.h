// The state the process starts in. An IDE, a build server or a shell may
// start the program with signal dispositions, a signal mask or standard
// descriptors that a terminal never shows; the program and the commands it
// runs assume the plain state, and this is where it is made.
#pragma once

#include <string>
#include <string_view>

namespace sys {

// Called first thing in main, before anything is read or written. On
// systems with signals:
// - SIGCHLD goes back to its default: ignored, it lets the kernel reap our
//   children, and no command's exit status could be read.
// - SIGPIPE is ignored: an IDE that closed its output window must not end
//   the program. What cannot be written is dropped, and the job goes on.
//   The commands get SIGPIPE at its default again.
// - The signal mask is cleared, for us and so for the commands.
// - SIGHUP, SIGINT, SIGQUIT and SIGTERM stay as they were: a parent that
//   ignores them (nohup, a background job of a shell, a build server that
//   shields its jobs from the terminal) decides for the whole job whether it
//   can be stopped, and nothing the program does depends on it.
// - Any of the descriptors 0, 1 and 2 that is closed is opened on /dev/null,
//   so that no file of ours takes a standard number and every command gets
//   all three.
// On Windows nothing of this is inherited; missing standard handles are
// dealt with where the commands are started.
void prepareProcess();

// The command interpreter, by its full path: COMSPEC when it is one,
// otherwise cmd.exe in the system directory. A bare or relative name would
// be looked up with the current directory, the user's project, first, and a
// file there would run every command. Empty when there is neither.
std::string interpreterPath(std::string_view comspec, std::string_view systemDirectory);

}  // namespace sys
