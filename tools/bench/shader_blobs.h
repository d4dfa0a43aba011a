// Device shader blobs for the first pass of an effect text, as the effect framework makes
// them: registers given to the parameters in order.
#pragma once

#include <map>
#include <string>
#include <vector>

#include <d3d9.h>

namespace bench {

struct ShaderBlobWords {
    std::vector<DWORD> words;
    std::map<std::string, UINT> registers;  // parameter -> first register of its kind
};

ShaderBlobWords buildShaderBlob(const std::string& effectText, bool vertex);

}  // namespace bench
