// The quad batches: world-space quads coloured per vertex, with depth, blending and culling
// set from each bucket's state flags.

float4x4 matrix_world_view_projection;
texture tex_0;
bool zTest = true;
bool zWrite = false;
bool alphaBlendEnable = true;
int cullMode = 1;
int srcBlend = 5;
int dstBlend = 6;

sampler diffuseSampler = sampler_state
{
    Texture = <tex_0>;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
    AddressU = Clamp;
    AddressV = Clamp;
};

struct VS_OUTPUT
{
    float4 position : POSITION;
    float4 colour : COLOR0;
    float2 uv : TEXCOORD0;
};

VS_OUTPUT VS(float3 position : POSITION, float4 colour : COLOR0, float2 uv : TEXCOORD0)
{
    VS_OUTPUT output;
    output.position = mul(float4(position, 1.0f), matrix_world_view_projection);
    output.colour = colour;
    output.uv = uv;
    return output;
}

float4 PS(float4 colour : COLOR0, float2 uv : TEXCOORD0) : COLOR0
{
    return tex2D(diffuseSampler, uv) * colour;
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
        CullMode = <cullMode>;
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
