#include "gl/gl_resources.h"

#include <algorithm>

#include "core/formats.h"

namespace d3d9::gl {

bool textureFormat(D3DFORMAT format, TextureFormat& out) {
    out = TextureFormat();
    switch (format) {
        case D3DFMT_A8R8G8B8:
            out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false, out.swizzle};
            return true;
        case D3DFMT_X8R8G8B8:
            out = {
                GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, false, {{GL_RED, GL_GREEN, GL_BLUE, GL_ONE}}};
            return true;
        case D3DFMT_R5G6B5:
            out = {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, false, out.swizzle};
            return true;
        case D3DFMT_A1R5G5B5:
            out = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false, out.swizzle};
            return true;
        case D3DFMT_X1R5G5B5:
            out = {GL_RGB5_A1,
                   GL_BGRA,
                   GL_UNSIGNED_SHORT_1_5_5_5_REV,
                   false,
                   {{GL_RED, GL_GREEN, GL_BLUE, GL_ONE}}};
            return true;
        case D3DFMT_A4R4G4B4:
            out = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, false, out.swizzle};
            return true;
        case D3DFMT_A8:
            out = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, false, {{GL_ZERO, GL_ZERO, GL_ZERO, GL_RED}}};
            return true;
        case D3DFMT_L8:
            out = {GL_R8, GL_RED, GL_UNSIGNED_BYTE, false, {{GL_RED, GL_RED, GL_RED, GL_ONE}}};
            return true;
        case D3DFMT_A8L8:
            out = {GL_RG8, GL_RG, GL_UNSIGNED_BYTE, false, {{GL_RED, GL_RED, GL_RED, GL_GREEN}}};
            return true;
        case D3DFMT_A16B16G16R16F:
            out = {GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, false, out.swizzle};
            return true;
        case D3DFMT_R32F:
            // Direct3D reads the missing channels of R32F as 1.
            out = {GL_R32F, GL_RED, GL_FLOAT, false, {{GL_RED, GL_ONE, GL_ONE, GL_ONE}}};
            return true;
        case D3DFMT_DXT1:
            out.internalFormat = GL_COMPRESSED_RGBA_S3TC_DXT1_EXT;
            out.compressed = true;
            return true;
        case D3DFMT_DXT3:
            out.internalFormat = GL_COMPRESSED_RGBA_S3TC_DXT3_EXT;
            out.compressed = true;
            return true;
        case D3DFMT_DXT5:
            out.internalFormat = GL_COMPRESSED_RGBA_S3TC_DXT5_EXT;
            out.compressed = true;
            return true;
        default:
            return false;
    }
}

GlResources::~GlResources() {
    for (auto& [resource, buffer] : buffers_) {
        glDeleteBuffers(1, &buffer.name);
    }
    for (auto& [resource, texture] : textures_) {
        glDeleteTextures(1, &texture.name);
    }
    if (userBuffer_ != 0) {
        glDeleteBuffers(1, &userBuffer_);
    }
}

void GlResources::abandon() {
    bound_.fill(BoundTexture());
    recentVertices_ = RecentBuffer();
    recentIndices_ = RecentBuffer();
    buffers_.clear();
    textures_.clear();
    userBuffer_ = 0;
}

void GlResources::locked(const ResourceBase& resource, D3DRESOURCETYPE type, UINT offset, UINT size,
                         DWORD flags) {
    if (type == D3DRTYPE_TEXTURE) {
        auto found = textures_.find(&resource);
        if (found != textures_.end() && offset < found->second.dirty.size() &&
            (flags & D3DLOCK_READONLY) == 0) {
            found->second.dirty[offset] = true;
        }
        return;
    }
    auto found = buffers_.find(&resource);
    if (found == buffers_.end() || (flags & D3DLOCK_READONLY)) {
        return;
    }
    Buffer& buffer = found->second;
    // Nested locks widen the range to be refreshed; a discard always orphans.
    if (buffer.pending) {
        const UINT end = std::max(buffer.pendingOffset + buffer.pendingSize, offset + size);
        buffer.pendingOffset = std::min(buffer.pendingOffset, offset);
        buffer.pendingSize = size == 0 ? 0 : end - buffer.pendingOffset;
        buffer.pendingFlags |= flags;
    } else {
        buffer.pendingOffset = offset;
        buffer.pendingSize = size;
        buffer.pendingFlags = flags;
        buffer.pending = true;
    }
}

void GlResources::updated(const ResourceBase& resource) {
    auto found = buffers_.find(&resource);
    if (found == buffers_.end() || !found->second.pending) {
        return;
    }
    const BufferData* data = nullptr;
    if (const auto* vertices = dynamic_cast<const VertexBuffer*>(&resource)) {
        data = &vertices->data();
    } else if (const auto* indices = dynamic_cast<const IndexBuffer*>(&resource)) {
        data = &indices->data();
    }
    if (data == nullptr || data->locked()) {
        return;
    }
    Buffer& buffer = found->second;
    buffer.pending = false;
    const UINT total = data->size();
    const UINT offset = std::min(buffer.pendingOffset, total);
    const UINT size =
        buffer.pendingSize == 0 ? total - offset : std::min(buffer.pendingSize, total - offset);
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer.name);
    if (buffer.pendingFlags & D3DLOCK_DISCARD) {
        // Fresh storage: draws already queued keep reading the old block.
        glBufferData(GL_COPY_WRITE_BUFFER, total, nullptr, GL_DYNAMIC_DRAW);
    }
    glBufferSubData(GL_COPY_WRITE_BUFFER, offset, size, data->bytes() + offset);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
}

void GlResources::destroyed(const ResourceBase& resource, bool withGl) {
    for (RecentBuffer* recent : {&recentVertices_, &recentIndices_}) {
        if (recent->resource == &resource) {
            *recent = RecentBuffer();
        }
    }
    if (auto found = buffers_.find(&resource); found != buffers_.end()) {
        if (withGl) {
            cache_.bufferDeleted(found->second.name);
            glDeleteBuffers(1, &found->second.name);
        }
        buffers_.erase(found);
    }
    if (auto found = textures_.find(&resource); found != textures_.end()) {
        bound_.fill(BoundTexture());
        // A deleted texture bound to a unit reverts to 0: the cache must not trust it.
        for (int unit = 0; unit < kTextureUnits; ++unit) {
            cache_.forgetTexture(unit);
        }
        if (withGl) {
            glDeleteTextures(1, &found->second.name);
        }
        textures_.erase(found);
    }
}

GLuint GlResources::bufferFor(const ResourceBase& resource, const BufferData& data,
                              RecentBuffer& recent) {
    if (recent.resource == &resource) {
        return recent.name;
    }
    auto found = buffers_.find(&resource);
    if (found != buffers_.end()) {
        recent = {&resource, found->second.name};
        return found->second.name;
    }
    Buffer buffer;
    glGenBuffers(1, &buffer.name);
    glBindBuffer(GL_COPY_WRITE_BUFFER, buffer.name);
    glBufferData(GL_COPY_WRITE_BUFFER, data.size(), data.bytes(), GL_DYNAMIC_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    buffers_[&resource] = buffer;
    recent = {&resource, buffer.name};
    return buffer.name;
}

GLuint GlResources::buffer(const VertexBuffer& buffer) {
    return bufferFor(buffer, buffer.data(), recentVertices_);
}

GLuint GlResources::buffer(const IndexBuffer& buffer) {
    return bufferFor(buffer, buffer.data(), recentIndices_);
}

GLuint GlResources::userData(const BYTE* data, UINT size) {
    if (userBuffer_ == 0) {
        glGenBuffers(1, &userBuffer_);
    }
    glBindBuffer(GL_COPY_WRITE_BUFFER, userBuffer_);
    glBufferData(GL_COPY_WRITE_BUFFER, size, data, GL_STREAM_DRAW);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
    return userBuffer_;
}

void GlResources::bindTexture(int unit, IDirect3DBaseTexture9* texture) {
    BoundTexture& bound = bound_[unit];
    if (texture == nullptr || bound.texture != texture) {
        const auto* resource = dynamic_cast<const Texture*>(texture);
        if (resource == nullptr) {
            bound = BoundTexture();
            cache_.texture(unit, 0);
            return;
        }
        bound = {texture, resource, &textures_[resource]};
    }
    const Texture* resource = bound.resource;
    GlTexture& gl = *bound.gl;
    if (!gl.created) {
        glGenTextures(1, &gl.name);
        gl.dirty.assign(resource->levelCount(), true);
        gl.created = true;
    }
    cache_.texture(unit, gl.name);
    for (UINT level = 0; level < gl.dirty.size(); ++level) {
        if (gl.dirty[level]) {
            // The binding may have been cached with another unit active since: an upload
            // there would overwrite whatever texture that unit holds.
            cache_.activeTexture(unit);
            upload(*resource, gl, level);
            gl.dirty[level] = false;
        }
    }
}

GlResources::GlTexture& GlResources::bindForTransfer(const Texture& texture) {
    GlTexture& gl = textures_[&texture];
    if (!gl.created) {
        glGenTextures(1, &gl.name);
        gl.dirty.assign(texture.levelCount(), true);
        gl.created = true;
    }
    // What unit 0 held is rebound by the next draw that needs it.
    bound_[0] = BoundTexture();
    cache_.texture(0, gl.name);
    cache_.activeTexture(0);
    return gl;
}

bool GlResources::hold(const Texture& texture, UINT level) {
    TextureFormat format;
    if (!textureFormat(texture.format(), format) || level >= texture.levelCount()) {
        return false;
    }
    GlTexture& gl = bindForTransfer(texture);
    // Levels are given their storage in order: one before them not yet uploaded goes first.
    for (UINT i = 0; i <= level; ++i) {
        if (gl.dirty[i] && (i == level || texture.level(i).held)) {
            upload(texture, gl, i);
            gl.dirty[i] = false;
        }
    }
    return true;
}

bool GlResources::read(const Texture& texture, UINT index, BYTE* bytes, UINT pitch) {
    TextureFormat format;
    const auto found = textures_.find(&texture);
    if (!textureFormat(texture.format(), format) || found == textures_.end() ||
        index >= texture.levelCount()) {
        return false;
    }
    bindForTransfer(texture);
    if (format.compressed) {
        glGetCompressedTexImage(GL_TEXTURE_2D, static_cast<GLint>(index), bytes);
        return true;
    }
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ROW_LENGTH, static_cast<GLint>(pitch / formatBytes(texture.format())));
    glGetTexImage(GL_TEXTURE_2D, static_cast<GLint>(index), format.format, format.type, bytes);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    return true;
}

void GlResources::upload(const Texture& texture, GlTexture& gl, UINT index) {
    TextureFormat format;
    if (!textureFormat(texture.format(), format)) {
        return;
    }
    const Texture::Level& level = texture.level(index);
    if (index == 0) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL,
                        static_cast<GLint>(gl.dirty.size()) - 1);
        glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, format.swizzle.data());
    }
    if (format.compressed) {
        glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(index), format.internalFormat,
                               static_cast<GLsizei>(level.width),
                               static_cast<GLsizei>(level.height), 0,
                               static_cast<GLsizei>(level.bytes.size()), level.bytes.data());
        return;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_UNPACK_ROW_LENGTH,
                  static_cast<GLint>(level.pitch / formatBytes(texture.format())));
    glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(index), format.internalFormat,
                 static_cast<GLsizei>(level.width), static_cast<GLsizei>(level.height), 0,
                 format.format, format.type, level.bytes.data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

}  // namespace d3d9::gl
