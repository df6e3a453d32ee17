#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "render/I_Releasable.h"
#include "render/I_ResourceRegistry.h"

// The texture image: 256 x 256 texels of four bytes (red, green, blue,
// alpha), row by row, texel (row y, column x) at byte (y * 256 + x) * 4.
constexpr uint32_t kTextureImageLog2Side = 8;
constexpr uint32_t kTextureImageSide = 1u << kTextureImageLog2Side;
constexpr uint32_t kTextureImageBytes = kTextureImageSide * kTextureImageSide * 4;

// Fills `image` (kTextureImageBytes) with a checkerboard of single texels:
// pale pink (255, 210, 210) where row + column is even, black where it is
// odd, every alpha byte `alpha`.
void make_texture_image(uint8_t* image, uint8_t alpha);

// The process-wide image, the checkerboard with alpha 255, filled once.
const uint8_t* texture_image();

// Creates the 2D texture `name` from `image` (2^log2_width x 2^log2_height
// RGBA texels): repeating, nearest filtering without mipmaps, modulating the
// fragment colour. The texture keeps RGB only.
void create_texture(uint32_t name, const uint8_t* image, uint32_t log2_width, uint32_t log2_height);

// Texture names generated together and deleted together when the edit
// context they are registered with goes away.
class TextureSet final : public I_Releasable {
public:
    static constexpr uint32_t kCapacity = 2;

    TextureSet() = default;
    TextureSet(const TextureSet&) = delete;
    TextureSet& operator=(const TextureSet&) = delete;

    // Generates one texture name, keeps it and returns it; 0 (no texture)
    // once the set is full.
    uint32_t generate();
    // Deletes every name; the names are kept for inspection.
    void release() override;

    bool released() const { return released_; }
    uint32_t count() const { return count_; }
    uint32_t name(uint32_t index) const { return names_[index]; }

private:
    bool released_ = false;
    uint32_t count_ = 0;
    uint32_t names_[kCapacity] = {};
};

// The two texture names of the surface display; both hold the texture image.
struct SurfaceTextures {
    uint32_t first = 0;
    uint32_t second = 0;
};

// Makes the surface textures when they are needed: on the first call, and
// again after the edit context they were registered with has released them
// (a later edit context would otherwise draw with deleted names). Each new
// set is registered with `registry`.
class SurfaceTextureSource {
public:
    SurfaceTextures ensure(I_ResourceRegistry& registry);

    // The set the textures come from now, or null before the first call.
    const TextureSet* current_set() const { return sets_.empty() ? nullptr : &sets_.back(); }
    // Sets made so far.
    size_t sets_made() const { return sets_.size(); }

private:
    // Every set made stays alive: a registry may still hold a pointer to it.
    std::deque<TextureSet> sets_;
};

// The process-wide source's ensure(); needs the OpenGL context current.
SurfaceTextures ensure_surface_textures(I_ResourceRegistry& registry);
