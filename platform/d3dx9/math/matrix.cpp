// Matrix operations of the D3DX math library (row vectors, left-handed).
#include <cmath>

#include "d3dx9math.h"

D3DXMATRIX::D3DXMATRIX(const float* f) : D3DMATRIX{} {
    for (int i = 0; i < 16; ++i) {
        m[i / 4][i % 4] = f[i];
    }
}

D3DXMATRIX::D3DXMATRIX(float f11, float f12, float f13, float f14, float f21, float f22, float f23,
                       float f24, float f31, float f32, float f33, float f34, float f41, float f42,
                       float f43, float f44)
    : D3DMATRIX{} {
    _11 = f11, _12 = f12, _13 = f13, _14 = f14;
    _21 = f21, _22 = f22, _23 = f23, _24 = f24;
    _31 = f31, _32 = f32, _33 = f33, _34 = f34;
    _41 = f41, _42 = f42, _43 = f43, _44 = f44;
}

D3DXMATRIX& D3DXMATRIX::operator*=(const D3DXMATRIX& mat) {
    D3DXMatrixMultiply(this, this, &mat);
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator+=(const D3DXMATRIX& mat) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            m[r][c] += mat.m[r][c];
        }
    }
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator-=(const D3DXMATRIX& mat) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            m[r][c] -= mat.m[r][c];
        }
    }
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator*=(float f) {
    for (auto& row : m) {
        for (float& value : row) {
            value *= f;
        }
    }
    return *this;
}

D3DXMATRIX& D3DXMATRIX::operator/=(float f) {
    for (auto& row : m) {
        for (float& value : row) {
            value /= f;
        }
    }
    return *this;
}

D3DXMATRIX D3DXMATRIX::operator-() const {
    return *this * -1.0f;
}

D3DXMATRIX D3DXMATRIX::operator*(const D3DXMATRIX& mat) const {
    D3DXMATRIX result;
    D3DXMatrixMultiply(&result, this, &mat);
    return result;
}

D3DXMATRIX D3DXMATRIX::operator+(const D3DXMATRIX& mat) const {
    D3DXMATRIX result = *this;
    return result += mat;
}

D3DXMATRIX D3DXMATRIX::operator-(const D3DXMATRIX& mat) const {
    D3DXMATRIX result = *this;
    return result -= mat;
}

D3DXMATRIX D3DXMATRIX::operator*(float f) const {
    D3DXMATRIX result = *this;
    return result *= f;
}

D3DXMATRIX D3DXMATRIX::operator/(float f) const {
    D3DXMATRIX result = *this;
    return result /= f;
}

bool D3DXMATRIX::operator==(const D3DXMATRIX& mat) const {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            if (m[r][c] != mat.m[r][c]) {
                return false;
            }
        }
    }
    return true;
}

D3DXMATRIX* D3DXMatrixIdentity(D3DXMATRIX* out) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

bool D3DXMatrixIsIdentity(const D3DXMATRIX* m) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    return *m == identity;
}

D3DXMATRIX* D3DXMatrixMultiply(D3DXMATRIX* out, const D3DXMATRIX* a, const D3DXMATRIX* b) {
    D3DXMATRIX result;  // out may alias a or b
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            result.m[r][c] = a->m[r][0] * b->m[0][c] + a->m[r][1] * b->m[1][c] +
                             a->m[r][2] * b->m[2][c] + a->m[r][3] * b->m[3][c];
        }
    }
    *out = result;
    return out;
}

D3DXMATRIX* D3DXMatrixTranspose(D3DXMATRIX* out, const D3DXMATRIX* m) {
    D3DXMATRIX result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            result.m[r][c] = m->m[c][r];
        }
    }
    *out = result;
    return out;
}

namespace {

// The adjugate (transposed cofactors) and determinant, in double so that ill-conditioned
// but regular matrices keep their precision.
double adjugate(const D3DXMATRIX& a, double adj[4][4]) {
    double s[6], c[6];
    const float(*m)[4] = a.m;
    s[0] = double(m[0][0]) * m[1][1] - double(m[1][0]) * m[0][1];
    s[1] = double(m[0][0]) * m[1][2] - double(m[1][0]) * m[0][2];
    s[2] = double(m[0][0]) * m[1][3] - double(m[1][0]) * m[0][3];
    s[3] = double(m[0][1]) * m[1][2] - double(m[1][1]) * m[0][2];
    s[4] = double(m[0][1]) * m[1][3] - double(m[1][1]) * m[0][3];
    s[5] = double(m[0][2]) * m[1][3] - double(m[1][2]) * m[0][3];
    c[5] = double(m[2][2]) * m[3][3] - double(m[3][2]) * m[2][3];
    c[4] = double(m[2][1]) * m[3][3] - double(m[3][1]) * m[2][3];
    c[3] = double(m[2][1]) * m[3][2] - double(m[3][1]) * m[2][2];
    c[2] = double(m[2][0]) * m[3][3] - double(m[3][0]) * m[2][3];
    c[1] = double(m[2][0]) * m[3][2] - double(m[3][0]) * m[2][2];
    c[0] = double(m[2][0]) * m[3][1] - double(m[3][0]) * m[2][1];

    adj[0][0] = m[1][1] * c[5] - m[1][2] * c[4] + m[1][3] * c[3];
    adj[0][1] = -m[0][1] * c[5] + m[0][2] * c[4] - m[0][3] * c[3];
    adj[0][2] = m[3][1] * s[5] - m[3][2] * s[4] + m[3][3] * s[3];
    adj[0][3] = -m[2][1] * s[5] + m[2][2] * s[4] - m[2][3] * s[3];
    adj[1][0] = -m[1][0] * c[5] + m[1][2] * c[2] - m[1][3] * c[1];
    adj[1][1] = m[0][0] * c[5] - m[0][2] * c[2] + m[0][3] * c[1];
    adj[1][2] = -m[3][0] * s[5] + m[3][2] * s[2] - m[3][3] * s[1];
    adj[1][3] = m[2][0] * s[5] - m[2][2] * s[2] + m[2][3] * s[1];
    adj[2][0] = m[1][0] * c[4] - m[1][1] * c[2] + m[1][3] * c[0];
    adj[2][1] = -m[0][0] * c[4] + m[0][1] * c[2] - m[0][3] * c[0];
    adj[2][2] = m[3][0] * s[4] - m[3][1] * s[2] + m[3][3] * s[0];
    adj[2][3] = -m[2][0] * s[4] + m[2][1] * s[2] - m[2][3] * s[0];
    adj[3][0] = -m[1][0] * c[3] + m[1][1] * c[1] - m[1][2] * c[0];
    adj[3][1] = m[0][0] * c[3] - m[0][1] * c[1] + m[0][2] * c[0];
    adj[3][2] = -m[3][0] * s[3] + m[3][1] * s[1] - m[3][2] * s[0];
    adj[3][3] = m[2][0] * s[3] - m[2][1] * s[1] + m[2][2] * s[0];

    return s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
}

}  // namespace

float D3DXMatrixDeterminant(const D3DXMATRIX* m) {
    double adj[4][4];
    return static_cast<float>(adjugate(*m, adj));
}

D3DXMATRIX* D3DXMatrixInverse(D3DXMATRIX* out, float* determinant, const D3DXMATRIX* m) {
    double adj[4][4];
    const double det = adjugate(*m, adj);
    if (det == 0.0 || !std::isfinite(det)) {
        return nullptr;
    }
    D3DXMATRIX result;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            result.m[r][c] = static_cast<float>(adj[r][c] / det);
        }
    }
    if (determinant) {
        *determinant = static_cast<float>(det);
    }
    *out = result;
    return out;
}

D3DXMATRIX* D3DXMatrixTranslation(D3DXMATRIX* out, float x, float y, float z) {
    *out = D3DXMATRIX(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixScaling(D3DXMATRIX* out, float sx, float sy, float sz) {
    *out = D3DXMATRIX(sx, 0, 0, 0, 0, sy, 0, 0, 0, 0, sz, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationX(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationY(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationZ(D3DXMATRIX* out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    *out = D3DXMATRIX(c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationAxis(D3DXMATRIX* out, const D3DXVECTOR3* axis, float angle) {
    D3DXVECTOR3 n;
    D3DXVec3Normalize(&n, axis);
    const float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
    *out = D3DXMATRIX(t * n.x * n.x + c, t * n.x * n.y + s * n.z, t * n.x * n.z - s * n.y, 0,
                      t * n.x * n.y - s * n.z, t * n.y * n.y + c, t * n.y * n.z + s * n.x, 0,
                      t * n.x * n.z + s * n.y, t * n.y * n.z - s * n.x, t * n.z * n.z + c, 0, 0, 0,
                      0, 1);
    return out;
}

D3DXMATRIX* D3DXMatrixRotationYawPitchRoll(D3DXMATRIX* out, float yaw, float pitch, float roll) {
    D3DXMATRIX rz, rx, ry;
    D3DXMatrixRotationZ(&rz, roll);
    D3DXMatrixRotationX(&rx, pitch);
    D3DXMatrixRotationY(&ry, yaw);
    *out = rz * rx * ry;
    return out;
}

D3DXMATRIX* D3DXMatrixRotationQuaternion(D3DXMATRIX* out, const D3DXQUATERNION* q) {
    const float x = q->x, y = q->y, z = q->z, w = q->w;
    *out = D3DXMATRIX(1 - 2 * (y * y + z * z), 2 * (x * y + z * w), 2 * (x * z - y * w), 0,
                      2 * (x * y - z * w), 1 - 2 * (x * x + z * z), 2 * (y * z + x * w), 0,
                      2 * (x * z + y * w), 2 * (y * z - x * w), 1 - 2 * (x * x + y * y), 0, 0, 0, 0,
                      1);
    return out;
}

D3DXMATRIX* D3DXMatrixPerspectiveFovLH(D3DXMATRIX* out, float fovY, float aspect, float zn,
                                       float zf) {
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    const float depth = zf / (zf - zn);
    *out = D3DXMATRIX(xScale, 0, 0, 0, 0, yScale, 0, 0, 0, 0, depth, 1, 0, 0, -zn * depth, 0);
    return out;
}

D3DXMATRIX* D3DXMatrixOrthoOffCenterLH(D3DXMATRIX* out, float left, float right, float bottom,
                                       float top, float zn, float zf) {
    *out = D3DXMATRIX(2 / (right - left), 0, 0, 0, 0, 2 / (top - bottom), 0, 0, 0, 0, 1 / (zf - zn),
                      0, (left + right) / (left - right), (top + bottom) / (bottom - top),
                      zn / (zn - zf), 1);
    return out;
}

D3DXMATRIX* D3DXMatrixLookAtLH(D3DXMATRIX* out, const D3DXVECTOR3* eye, const D3DXVECTOR3* at,
                               const D3DXVECTOR3* up) {
    D3DXVECTOR3 zAxis = *at - *eye, xAxis, yAxis;
    D3DXVec3Normalize(&zAxis, &zAxis);
    D3DXVec3Cross(&xAxis, up, &zAxis);
    D3DXVec3Normalize(&xAxis, &xAxis);
    D3DXVec3Cross(&yAxis, &zAxis, &xAxis);
    *out = D3DXMATRIX(xAxis.x, yAxis.x, zAxis.x, 0, xAxis.y, yAxis.y, zAxis.y, 0, xAxis.z, yAxis.z,
                      zAxis.z, 0, -D3DXVec3Dot(&xAxis, eye), -D3DXVec3Dot(&yAxis, eye),
                      -D3DXVec3Dot(&zAxis, eye), 1);
    return out;
}
