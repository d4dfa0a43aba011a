// The frame's render states: run once at the start of every frame, draws nothing. Both
// passes leave the baseline every other effect may assume at the start of its first pass.

technique t0
{
    pass pSetState
    {
        Lighting = false;
        ZEnable = true;
        ZWriteEnable = true;
        ZFunc = LessEqual;
        AlphaBlendEnable = false;
        AlphaTestEnable = false;
        FillMode = Solid;
        CullMode = CW;
        TextureFactor = 0xffffffff;
        ColorOp[0] = Disable;
        AlphaOp[0] = Disable;
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
