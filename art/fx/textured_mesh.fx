// The level's statics: each range's own texture, lit by the level's lightmap through the
// second uv set.

float4x4 matrix_world_view_projection;
texture tex_0;
texture tex_1;

sampler diffuseSampler = sampler_state
{
    Texture = <tex_0>;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
    AddressU = Wrap;
    AddressV = Wrap;
};

sampler lightmapSampler = sampler_state
{
    Texture = <tex_1>;
    MinFilter = Linear;
    MagFilter = Linear;
    MipFilter = Linear;
    AddressU = Clamp;
    AddressV = Clamp;
};

struct VS_OUTPUT
{
    float4 position : POSITION;
    float2 uv : TEXCOORD0;
    float2 lightmapUv : TEXCOORD1;
};

VS_OUTPUT VS(float3 position : POSITION, float2 uv : TEXCOORD0, float2 lightmapUv : TEXCOORD1)
{
    VS_OUTPUT output;
    output.position = mul(float4(position, 1.0f), matrix_world_view_projection);
    output.uv = uv;
    output.lightmapUv = lightmapUv;
    return output;
}

float4 PS(float2 uv : TEXCOORD0, float2 lightmapUv : TEXCOORD1) : COLOR0
{
    float4 colour = tex2D(diffuseSampler, uv);
    return float4(colour.rgb * tex2D(lightmapSampler, lightmapUv).rgb, colour.a);
}

technique t0
{
    pass p0
    {
        VertexShader = compile vs_2_0 VS();
        PixelShader = compile ps_2_0 PS();
        ZEnable = true;
        ZWriteEnable = true;
        AlphaBlendEnable = false;
        CullMode = CW;
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
