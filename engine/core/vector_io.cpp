#include "engine/core/vector_io.h"

std::ostream& operator<<(std::ostream& out, const D3DXVECTOR2& v) {
    return out << '(' << v.x << ' ' << v.y << ')';
}

std::ostream& operator<<(std::ostream& out, const D3DXVECTOR4& v) {
    return out << '(' << v.x << ' ' << v.y << ' ' << v.z << ' ' << v.w << ')';
}

std::wostream& operator<<(std::wostream& out, const D3DXVECTOR3& v) {
    return out << L'(' << v.x << L' ' << v.y << L' ' << v.z << L')';
}

std::istream& operator>>(std::istream& in, D3DXVECTOR2& v) {
    return in >> v.x >> v.y;
}

std::istream& operator>>(std::istream& in, D3DXVECTOR4& v) {
    return in >> v.x >> v.y >> v.z >> v.w;
}
