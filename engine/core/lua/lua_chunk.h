// Compiling and running Lua chunks with the error texts of the script host. Every failure
// becomes a std::runtime_error "Lua error (<status>): <message>", the status counted as the
// game's scripts have always reported it: run-time 1, syntax 3, memory 4, error handler 5.
#pragma once

#include <lua.hpp>

#include <cstddef>
#include <string>

namespace kesh {

// The status number the error texts show for a status of this interpreter.
int reportedLuaStatus(int status);

// Throws std::runtime_error with the narrowed "Lua error (" status "): " message.
[[noreturn]] void throwLuaError(int reportedStatus, const std::wstring& message);

// The full error text for a chunk that failed to compile, with the message at the top of the
// stack ("Lua error (3): Error while parsing `name': ..."). The message stays on the stack.
std::string parseErrorText(lua_State* L, int status, const char* chunkName);

// Compiles the buffer; on success the chunk is on the stack and 0 is returned, otherwise the
// error value stays on the stack and std::runtime_error is thrown.
int loadChunk(lua_State* L, const char* buffer, std::size_t size, const char* chunkName);

// Runs the chunk at the top of the stack, protected, leaving all its results; on failure the
// error value stays on the stack and std::runtime_error is thrown.
int callChunk(lua_State* L, const char* chunkName);

// Maps, compiles and runs the file, logging each stage on the "lua" channel, and stores the
// number of values the chunk returned. Returns 2, having run nothing, when the file is
// missing, unreadable or empty; 0 otherwise. Compile and run failures throw.
int runChunkFile(lua_State* L, int* results, const std::wstring& path);

}  // namespace kesh
