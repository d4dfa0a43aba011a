// The process's start: what the entry point hands the kernel layer.
#pragma once

namespace win32 {

// Records the program's arguments for GetCommandLineW. The entry point calls it first
// thing with main's argc and argv; argv[0] is ignored, the program path always comes from
// /proc/self/exe so that the first word of the command line is absolute. Without a call,
// GetCommandLineW takes the arguments from /proc/self/cmdline.
void recordCommandLine(int argc, const char* const* argv);

}  // namespace win32
