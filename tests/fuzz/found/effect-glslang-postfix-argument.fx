float3 p;
float4 VS() : POSITION { float4 r = abs(p--); return r; }
technique t { pass p0 { VertexShader = compile vs_2_0 VS(); } }
