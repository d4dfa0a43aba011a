// The error effect compiled into the program: used when neither an effect file nor the
// embedded resource of its name can be built. It draws everything a flat reddish
// 0xc0ff4040, through walls and from both sides. The RCDATA "ERROR.FX" holds the same
// text laid out differently.
#pragma once

#include <cstddef>

namespace kesh {

// 593 characters and the terminating NUL: D3DXCreateEffect is handed all 594 bytes.
inline constexpr char kErrorEffectText[] =
    "matrix matrix_world_view_projection;\n"
    "\n"
    "float4 VS(float3 Pos : POSITION) : POSITION\n"
    "{\n"
    "\treturn mul(float4(Pos.xyz, 1.0f), matrix_world_view_projection);\n"
    "}\n"
    "\n"
    "technique t0\n"
    "{\n"
    "\tpass p0\n"
    "\t{\n"
    "\t\tVertexShader=compile vs_1_1 VS();\n"
    "\t\tPixelShader=NULL;\n"
    "\t\tZEnable=false;\n"
    "\t\tZWriteEnable=false;\n"
    "\t\tCullMode=none;\n"
    "\t\tTextureFactor=0xc0ff4040;\n"
    "\t\tColorOp[0]=SelectArg1;\n"
    "\t\tColorArg1[0]=TFactor;\n"
    "\t\tColorOp[1]=Disable;\n"
    "\t\tAlphaOp[0]=Disable;\n"
    "\t}\n"
    "\n"
    "\tpass pRestoreState\n"
    "\t{\n"
    "\t\tTextureFactor=0xffffffff;\n"
    "\t\tColorOp[0]=Disable;\n"
    "\t\tColorArg1[0]=Current;\n"
    "\t\tAlphaOp[0]=Disable;\n"
    "\t\tCullMode=CW;\n"
    "\t\tZEnable=true;\n"
    "\t\tZWriteEnable=true;\n"
    "\t}\n"
    "}\n";

inline constexpr std::size_t kErrorEffectTextSize = sizeof(kErrorEffectText);

static_assert(kErrorEffectTextSize == 594, "the built-in error text is 593 characters + NUL");

}  // namespace kesh
