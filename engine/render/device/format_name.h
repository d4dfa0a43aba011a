// The name of a D3DFORMAT without its "D3DFMT_" prefix, for log lines and the frame-rate text.
#pragma once

#include <string>

#include <d3d9.h>

namespace kesh {

// "UNKNOWN" for any format outside the 59 the engine names.
std::wstring formatName(D3DFORMAT format);

}  // namespace kesh
