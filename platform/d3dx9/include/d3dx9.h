// The D3DX 9 utility library of the platform layer. Each part lives in its own header.
#pragma once

#include "d3dx9core.h"
#include "d3dx9effect.h"
#include "d3dx9math.h"
#include "d3dx9mesh.h"
#include "d3dx9shape.h"
#include "d3dx9tex.h"
