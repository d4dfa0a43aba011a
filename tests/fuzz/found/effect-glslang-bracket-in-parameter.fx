// Marks lying on the ground: blended over it by their vertex alpha, tested against depth but
// never writing it, pulled slightly towards the eye so they don't fight with the ground.

float4x4 matrix_world_view_projection;
texture tex_0;

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

VS_OUTPUT VS(float[3 position : POSITION, float4 colour : COLOR0, float2 uv : TEXCOORD0)
{
    VS_OUTPUT output;
    output.position = mul(float4(position, 1.0f), matrix_world_view_projection);
    output.position.z -= 0.0005f * output.position.w;
    output.colour = colour;
    output.uv = uv;
    return output;
}

float2 PS(float4 colour : COLOR0, float2 uv : TEXCOORD0) : COLOR0
{
    return tex2D(diffuseSampler, uv) * colour;
}

technique t0
{
    pass p0
    {
        VertexShader = compile vs_2_0 VS();
        PixelShader = compile ps_2_0 PS();
        ZEnable = true;
        ZWriteEnable = false;
        AlphaBlendEnable = true;
        SrcBlend = SrcAlpha;
        DestBlend = InvSrcAlpha;
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
