float4 tint = {1, 0, 0, 1};
#include "fuzz.fxh"
float4 ps() : COLOR0 { float4 c = tint; for (int i = 0; i < 2; i++) { if (c.g < 0.5) { c.g += shade; } } return c; }
technique t { pass p { PixelShader = compile ps_3_0 ps(); } pass r { } }
//fuzz.fxh
float shade = 0.25;
