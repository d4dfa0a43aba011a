#include "effect_values.h"

#include <algorithm>
#include <cmath>

namespace d3dx9::fx {
namespace {

int truncated(double v) {
    if (!std::isfinite(v)) {
        return 0;
    }
    return static_cast<int>(std::clamp(v, -2147483648.0, 2147483647.0));
}

}  // namespace

ParameterValue::ParameterValue(const Parameter& declaration)
    : type_(declaration.type),
      rows_(declaration.rows),
      columns_(declaration.columns),
      values_(declaration.defaults) {
    values_.resize(declaration.valueCount(), 0.0);
    if (type_ == ParamType::Texture || type_ == ParamType::Sampler || type_ == ParamType::String) {
        values_.clear();
    }
}

ParameterValue::~ParameterValue() {
    if (texture_ != nullptr) {
        texture_->Release();
    }
}

bool ParameterValue::sameShape(const Parameter& declaration) const {
    return declaration.type == type_ && declaration.rows == rows_ &&
           declaration.columns == columns_ &&
           (numeric() ? declaration.valueCount() == values_.size() : true);
}

bool ParameterValue::numeric() const {
    return type_ == ParamType::Bool || type_ == ParamType::Int || type_ == ParamType::Float;
}

bool ParameterValue::setBool(bool value) {
    if (!numeric() || values_.empty()) {
        return false;
    }
    values_[0] = value ? 1.0 : 0.0;
    changed();
    return true;
}

bool ParameterValue::setInt(int value) {
    if (!numeric() || values_.empty()) {
        return false;
    }
    if (type_ == ParamType::Float && rows_ == 1 && (columns_ == 3 || columns_ == 4)) {
        // A colour handed over as a D3DCOLOR.
        const std::uint32_t argb = static_cast<std::uint32_t>(value);
        const double channels[4] = {((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0,
                                    (argb & 0xFF) / 255.0, ((argb >> 24) & 0xFF) / 255.0};
        std::copy(channels, channels + columns_, values_.begin());
    } else if (type_ == ParamType::Bool) {
        values_[0] = value != 0 ? 1.0 : 0.0;
    } else {
        values_[0] = value;
    }
    changed();
    return true;
}

bool ParameterValue::setFloat(float value) {
    if (!numeric() || values_.empty()) {
        return false;
    }
    if (type_ == ParamType::Bool) {
        values_[0] = value != 0.0f ? 1.0 : 0.0;
    } else if (type_ == ParamType::Int) {
        values_[0] = truncated(value);
    } else {
        values_[0] = value;
    }
    changed();
    return true;
}

bool ParameterValue::setFloats(const float* values, unsigned count) {
    if (!numeric() || values == nullptr) {
        return false;
    }
    const std::size_t n = std::min<std::size_t>(count, values_.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (type_ == ParamType::Bool) {
            values_[i] = values[i] != 0.0f ? 1.0 : 0.0;
        } else if (type_ == ParamType::Int) {
            values_[i] = truncated(values[i]);
        } else {
            values_[i] = values[i];
        }
    }
    changed();
    return true;
}

bool ParameterValue::setMatrix(const float (&m)[4][4]) {
    if (type_ != ParamType::Float || rows_ > 4 || columns_ > 4 ||
        values_.size() < rows_ * columns_) {
        return false;
    }
    for (unsigned r = 0; r < rows_; ++r) {
        for (unsigned c = 0; c < columns_; ++c) {
            values_[r * columns_ + c] = m[r][c];
        }
    }
    changed();
    return true;
}

bool ParameterValue::setTexture(IDirect3DBaseTexture9* texture) {
    if (type_ != ParamType::Texture) {
        return false;
    }
    if (texture != nullptr) {
        texture->AddRef();
    }
    if (texture_ != nullptr) {
        texture_->Release();
    }
    texture_ = texture;
    changed();
    return true;
}

bool ParameterValue::getBool(bool& value) const {
    if (!numeric() || values_.empty()) {
        return false;
    }
    value = values_[0] != 0.0;
    return true;
}

bool ParameterValue::getInt(int& value) const {
    if (!numeric() || values_.empty()) {
        return false;
    }
    value = truncated(values_[0]);
    return true;
}

bool ParameterValue::getFloat(float& value) const {
    if (!numeric() || values_.empty()) {
        return false;
    }
    value = static_cast<float>(values_[0]);
    return true;
}

bool ParameterValue::getFloats(float* values, unsigned count) const {
    if (!numeric() || values == nullptr) {
        return false;
    }
    for (unsigned i = 0; i < count; ++i) {
        values[i] = i < values_.size() ? static_cast<float>(values_[i]) : 0.0f;
    }
    return true;
}

bool ParameterValue::getMatrix(float (&m)[4][4]) const {
    if (type_ != ParamType::Float || rows_ > 4 || columns_ > 4) {
        return false;
    }
    for (unsigned r = 0; r < 4; ++r) {
        for (unsigned c = 0; c < 4; ++c) {
            m[r][c] = r < rows_ && c < columns_ && r * columns_ + c < values_.size()
                          ? static_cast<float>(values_[r * columns_ + c])
                          : 0.0f;
        }
    }
    return true;
}

}  // namespace d3dx9::fx
