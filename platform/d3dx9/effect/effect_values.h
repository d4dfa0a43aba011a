// The current value of one effect parameter, possibly shared through a pool, and the
// conversions of the typed setters and getters.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <d3d9.h>

#include "d3d9/fx/fx_desc.h"

namespace d3dx9::fx {

class ParameterValue {
public:
    explicit ParameterValue(const Parameter& declaration);
    ~ParameterValue();
    ParameterValue(const ParameterValue&) = delete;
    ParameterValue& operator=(const ParameterValue&) = delete;

    // Same type and shape: a pool shares a value only between such declarations.
    bool sameShape(const Parameter& declaration) const;

    ParamType type() const { return type_; }
    unsigned rows() const { return rows_; }
    unsigned columns() const { return columns_; }
    const std::vector<double>& values() const { return values_; }
    IDirect3DBaseTexture9* texture() const { return texture_; }
    // Grows with every change, so a pass can tell what changed since it applied its states.
    std::uint64_t version() const { return version_; }

    // Each returns false (leaving the value alone) when the type does not take it.
    bool setBool(bool value);
    bool setInt(int value);
    bool setFloat(float value);
    bool setFloats(const float* values, unsigned count);  // vectors, matrices row by row
    bool setMatrix(const float (&m)[4][4]);
    bool setTexture(IDirect3DBaseTexture9* texture);

    bool getBool(bool& value) const;
    bool getInt(int& value) const;
    bool getFloat(float& value) const;
    bool getFloats(float* values, unsigned count) const;  // zero beyond the value's own
    bool getMatrix(float (&m)[4][4]) const;

private:
    bool numeric() const;
    void changed() { ++version_; }

    ParamType type_;
    unsigned rows_;
    unsigned columns_;
    std::vector<double> values_;
    IDirect3DBaseTexture9* texture_ = nullptr;  // one reference
    std::uint64_t version_ = 0;
};

using SharedValue = std::shared_ptr<ParameterValue>;
// The values of an effect, parallel to its parameters.
using ParameterValues = std::vector<SharedValue>;

}  // namespace d3dx9::fx
