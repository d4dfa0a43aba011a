// The meshes of the visual effects: a texture scrolled by the effect's age, with depth and
// blending chosen by the effect's description.

float4x4 matrix_world_view_projection;
texture tex_0;
// (u speed x age, u scale, v speed x age, v scale)
float4 uvparams = float4(0.0f, 1.0f, 0.0f, 1.0f);
bool zTest = true;
bool zWrite = true;
bool alphaBlendEnable = false;
int srcBlend = 5;
int dstBlend = 6;

sampler diffuseSampler = sampler_state
{
    Texture = <tex_0>;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
    AddressU = Wrap;
    AddressV = Wrap;
};

struct VS_OUTPUT
{
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
};

VS_OUTPUT VS(float3 position : POSITION, float2 uv : TEXCOORD0)
{
    VS_OUTPUT output;
    output.position = mul(float4(position, 1.0f), matrix_world_view_projection);
    output.uv = float2(uv.x * uvparams.y + uvparams.x, uv.y * uvparams.w + uvparams.z);
    return output;
}

float4 PS(float2 uv : TEXCOORD0) : COLOR0
{
    return tex2D(diffuseSampler, uv);
}

technique t0
{
    pass p0
    {
        VertexShader = compile vs_2_0 VS();
        PixelShader = compile ps_2_0 PS();
        ZEnable = <zTest>;
        ZWriteEnable = <zWrite>;
        AlphaBlendEnable = <alphaBlendEnable>;
        SrcBlend = <srcBlend>;
        DestBlend = <dstBlend>;
        CullMode = None;
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
