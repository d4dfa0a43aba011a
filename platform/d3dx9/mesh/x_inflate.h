// The compressed forms of a .x file ("tzip", "bzip") made into the plain ones ("txt ",
// "bin "), so that they are checked like those and the importer never inflates a file itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace d3dx9 {

bool isCompressedXFile(const std::uint8_t* data, std::size_t size);

// The same file in its plain form: the header's format renamed, the body inflated block by
// block. Empty when a block is damaged or the blocks promise more than they can hold.
std::optional<std::vector<std::uint8_t>> inflateXFile(const std::uint8_t* data, std::size_t size);

}  // namespace d3dx9
