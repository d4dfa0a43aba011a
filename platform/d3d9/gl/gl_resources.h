// GL buffers and textures standing for the device's resources. Buffers and the textures of
// other pools keep the device's CPU copies as the truth: GL objects are made on first use
// and refreshed from them after each unlock (buffers at once, texture levels when next
// bound). A managed texture's level goes to GL at its unlock, and GL's copy is then the only
// one (the context outlives a device reset).
#pragma once

#include <array>
#include <map>
#include <vector>

#include "core/buffers.h"
#include "core/texture.h"
#include "gl/state_cache.h"

namespace d3d9::gl {

struct TextureFormat {
    GLint internalFormat = 0;
    GLenum format = 0;
    GLenum type = 0;
    bool compressed = false;
    std::array<GLint, 4> swizzle{{GL_RED, GL_GREEN, GL_BLUE, GL_ALPHA}};
};

// False for a format the backend cannot upload.
bool textureFormat(D3DFORMAT format, TextureFormat& out);

class GlResources {
public:
    explicit GlResources(StateCache& cache) : cache_(cache) {}
    ~GlResources();
    GlResources(const GlResources&) = delete;
    GlResources& operator=(const GlResources&) = delete;

    void locked(const ResourceBase& resource, D3DRESOURCETYPE type, UINT offset, UINT size,
                DWORD flags);
    void updated(const ResourceBase& resource);
    // withGl false: the context cannot be made current, only forget the object.
    void destroyed(const ResourceBase& resource, bool withGl);

    GLuint buffer(const VertexBuffer& buffer);
    GLuint buffer(const IndexBuffer& buffer);
    // A buffer holding a copy of user-pointer data, valid until the next call.
    GLuint userData(const BYTE* data, UINT size);
    // Binds the texture (null: none) to a unit with its changed levels uploaded.
    void bindTexture(int unit, IDirect3DBaseTexture9* texture);

    // Uploads a texture level now, on unit 0; false for a format GL cannot take.
    bool hold(const Texture& texture, UINT level);
    // Reads a level back, rows `pitch` bytes apart.
    bool read(const Texture& texture, UINT level, BYTE* bytes, UINT pitch);

    // Forgets GL names without deleting them (their context is gone).
    void abandon();

private:
    struct Buffer {
        GLuint name = 0;
        UINT pendingOffset = 0;
        UINT pendingSize = 0;
        DWORD pendingFlags = 0;
        bool pending = false;
    };
    struct GlTexture {
        GLuint name = 0;
        std::vector<bool> dirty;
        bool created = false;
    };

    // What each unit was last given: draws that repeat a texture skip the lookup.
    struct BoundTexture {
        IDirect3DBaseTexture9* texture = nullptr;
        const Texture* resource = nullptr;
        GlTexture* gl = nullptr;
    };

    // The buffer a draw last asked for of one kind: draws that repeat it skip the lookup.
    struct RecentBuffer {
        const ResourceBase* resource = nullptr;
        GLuint name = 0;
    };

    GLuint bufferFor(const ResourceBase& resource, const BufferData& data, RecentBuffer& recent);
    void upload(const Texture& texture, GlTexture& gl, UINT level);
    // The texture's GL object bound on unit 0, made when new.
    GlTexture& bindForTransfer(const Texture& texture);

    StateCache& cache_;
    std::map<const ResourceBase*, Buffer> buffers_;
    std::map<const ResourceBase*, GlTexture> textures_;
    GLuint userBuffer_ = 0;
    std::array<BoundTexture, kTextureUnits> bound_{};
    RecentBuffer recentVertices_;
    RecentBuffer recentIndices_;
};

}  // namespace d3d9::gl
