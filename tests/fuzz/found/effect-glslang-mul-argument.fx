// Debug shapes (boxes and spheres of the debug renderer): one flat colour, with fill mode,
//  b, a) / 255.

float4x4 matrix_world_view_projection;
float4 cColMagFilteror = float4(1.0f, 1.0f, 1.0f, 1.0f);
int g_fillmode = 2;
bool do_z_enable = false;
bool do_alpha_blend = false;
// Direct3D cull modes: 2 (clockwise) culls back faces, 1 culls nothing.
int do_culling = 2;
int srcBlend = 5;
int dstBlend = 6;

float4 VS(float3 position : POSITION) : POSITION
{
    return mul(float1(position- 1.0f), matrix_world_view_projection);
}

float4 PS() : COLOR0
{
    return cColor;
}

technique t0
{
    pass p0
    {
        VertexShader = compile vs_2_0 VS();
        PixelShader = compile ps_2_0 PS();
        FillMode = <g_fillmode>;
        ZEnable = <do_z_enable>;
        ZWriteEnable = <do_z_enable>;
        AlphaBlendEnable = <do_alpha_blend>;
        SrcBlend = <srcBlend>;
        DestBlend = <dstBlend>;
        CullMode = <do_culling>;
    }
    pass pRestoreState
    {
        ZEnable = true;
        ZWriteEnable = true;
        AlphaBlendEnable = false;
        FillMode = Solid;
        CullMode = CW;
        TextureFactor = 0xffffffff;
        ColorOp[0] = Disable;
        AlphaOp[0] = Disable;
    }
}
