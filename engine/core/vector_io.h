// Text forms of vectors: "(x y)", "(x y z w)" out; blank-separated numbers without
// parentheses in.
#pragma once

#include <d3dx9math.h>

#include <istream>
#include <ostream>

std::ostream& operator<<(std::ostream& out, const D3DXVECTOR2& v);
std::ostream& operator<<(std::ostream& out, const D3DXVECTOR4& v);
std::wostream& operator<<(std::wostream& out, const D3DXVECTOR3& v);

std::istream& operator>>(std::istream& in, D3DXVECTOR2& v);
std::istream& operator>>(std::istream& in, D3DXVECTOR4& v);
