// The texture image, and the surface textures made, kept and released.
#include <gtest/gtest.h>

#include <GL/gl.h>

#include <vector>

#include "render/Textures.h"
#include "support/EglContext.h"

namespace {

class RecordingRegistry final : public I_ResourceRegistry {
public:
    void register_resource(I_Releasable* resource) override { resources.push_back(resource); }
    void release_all() {
        for (I_Releasable* resource : resources) resource->release();
    }
    std::vector<I_Releasable*> resources;
};

TEST(TextureImage, SingleTexelCheckerboardOfPinkAndBlack) {
    std::vector<uint8_t> image(kTextureImageBytes);
    make_texture_image(image.data(), 7);
    const std::vector<int> pink{255, 210, 210, 7}, black{0, 0, 0, 7};
    for (uint32_t texel = 0; texel < kTextureImageSide * kTextureImageSide; ++texel) {
        const bool even = (texel / kTextureImageSide + texel % kTextureImageSide) % 2 == 0;
        ASSERT_EQ(std::vector<int>(&image[texel * 4], &image[texel * 4 + 4]), even ? pink : black) << texel;
    }
    EXPECT_EQ(texture_image()[3], 255);
    EXPECT_EQ(texture_image()[4 * 257], 255) << "texel (1, 1) is pink";
}

// Made once, holding the image as RGB, reused by later frames with any
// registry; once the owner releases them the names are deleted and the next
// frame makes new textures for whoever draws it.
TEST(SurfaceTextures, MadeOnceAndAgainOnlyAfterRelease) {
    EglContext egl(8, 8);
    SKIP_WITHOUT_EGL(egl);
    SurfaceTextureSource source;
    RecordingRegistry first_owner, other;
    const SurfaceTextures made = source.ensure(first_owner);
    ASSERT_EQ(first_owner.resources.size(), 1u);
    EXPECT_TRUE(made.first != 0 && made.second != 0 && made.first != made.second);
    for (uint32_t name : {made.first, made.second}) {
        std::vector<uint8_t> rgb(kTextureImageSide * kTextureImageSide * 3);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        EXPECT_EQ(std::vector<int>(rgb.begin(), rgb.begin() + 6), (std::vector<int>{255, 210, 210, 0, 0, 0}));
    }
    const SurfaceTextures again = source.ensure(other);
    EXPECT_TRUE(again.first == made.first && again.second == made.second && other.resources.empty());
    first_owner.release_all();
    EXPECT_TRUE(source.current_set()->released());
    EXPECT_FALSE(glIsTexture(made.first) || glIsTexture(made.second));
    const SurfaceTextures remade = source.ensure(other);
    EXPECT_EQ(other.resources.size(), 1u);
    EXPECT_EQ(source.sets_made(), 2u);
    EXPECT_TRUE(glIsTexture(remade.first) && glIsTexture(remade.second));
    other.release_all();
}

}  // namespace
