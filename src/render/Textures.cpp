#include "render/Textures.h"

#include <GL/gl.h>

#include <array>

void make_texture_image(uint8_t* image, uint8_t alpha) {
    for (uint32_t y = 0; y < kTextureImageSide; ++y) {
        for (uint32_t x = 0; x < kTextureImageSide; ++x) {
            uint8_t* texel = image + (y * kTextureImageSide + x) * 4;
            const bool pink = (x + y) % 2 == 0;
            texel[0] = pink ? 255 : 0;
            texel[1] = pink ? 210 : 0;
            texel[2] = pink ? 210 : 0;
            texel[3] = alpha;
        }
    }
}

const uint8_t* texture_image() {
    static const std::array<uint8_t, kTextureImageBytes> image = [] {
        std::array<uint8_t, kTextureImageBytes> texels;
        make_texture_image(texels.data(), 255);
        return texels;
    }();
    return image.data();
}

void create_texture(uint32_t name, const uint8_t* image, uint32_t log2_width, uint32_t log2_height) {
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, GLsizei(1) << log2_width, GLsizei(1) << log2_height, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, image);
}

uint32_t TextureSet::generate() {
    if (count_ == kCapacity) return 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    names_[count_++] = name;
    return name;
}

void TextureSet::release() {
    glDeleteTextures(static_cast<GLsizei>(count_), names_);
    released_ = true;
}

SurfaceTextures SurfaceTextureSource::ensure(I_ResourceRegistry& registry) {
    if (sets_.empty() || sets_.back().released()) {
        TextureSet& set = sets_.emplace_back();
        registry.register_resource(&set);
        const uint32_t first = set.generate();
        const uint32_t second = set.generate();
        create_texture(first, texture_image(), kTextureImageLog2Side, kTextureImageLog2Side);
        create_texture(second, texture_image(), kTextureImageLog2Side, kTextureImageLog2Side);
    }
    const TextureSet& set = sets_.back();
    return SurfaceTextures{set.name(0), set.name(1)};
}

SurfaceTextures ensure_surface_textures(I_ResourceRegistry& registry) {
    static SurfaceTextureSource source;
    return source.ensure(registry);
}
