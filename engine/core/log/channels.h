// The standard channels. Each is created on the first call of its accessor and lives to
// the end of the program.
#pragma once

#include "engine/core/log/logger.h"

#include <string>

namespace boost {
namespace log {

Logger getLogger(const std::string& name);

Logger& logResource();  // "resource": resource loaders
Logger& logWarning();   // "warning": level loading, effect texts
Logger& logError();     // "error": mesh and vertex-format errors
Logger& logDebug();     // "debug": general progress, the Lua cprint function
Logger& logVideo();     // "video": the graphics device, its factory and the window
Logger& logLua();       // "lua": the script host and include
Logger& logScreen();    // "screen": lines for the on-screen console

}  // namespace log
}  // namespace boost
