// What a data script reaches outside its state. The io library stays open, but its functions,
// dofile, loadfile and load are replaced by guarded ones: no program is started (io.popen), no
// file is created or written (io.open only in the read modes, io.output and io.tmpfile
// refused), only regular files inside the art folder are read, the standard input is closed
// (a script waiting on a terminal would hang the game), and every chunk loads as text: Lua
// does not verify bytecode, so a patched binary chunk could crash the game. A refusal is a
// Lua error naming the function and the file.
#pragma once

#include <lua.hpp>

#include <optional>
#include <string>

namespace kesh {

// Replaces the functions on a state whose base and io libraries are open, and whose art folder
// artFolderOf gives. Raises a Lua error when Lua runs out of memory.
void confineToArtFolder(lua_State* L);

// The path on disk of the file that a game path names (its case and separators resolved as
// elsewhere in the game) when it is a regular file inside the state's art folder, with links
// and ".." resolved first. Nothing otherwise: missing, a folder, a device, a pipe, or outside.
std::optional<std::string> artFileOf(lua_State* L, const std::string& path);

}  // namespace kesh
