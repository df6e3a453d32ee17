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
    auto texel = [&](uint32_t row, uint32_t column) {
        const uint8_t* t = &image[(row * kTextureImageSide + column) * 4];
        return std::vector<int>{t[0], t[1], t[2], t[3]};
    };
    const std::vector<int> pink{255, 210, 210, 7}, black{0, 0, 0, 7};
    for (uint32_t row = 0; row < kTextureImageSide; ++row)
        for (uint32_t column = 0; column < kTextureImageSide; ++column)
            ASSERT_EQ(texel(row, column), (row + column) % 2 == 0 ? pink : black) << row << ", " << column;
    EXPECT_EQ(texture_image()[3], 255);
    EXPECT_EQ(texture_image()[4 * 257], 255) << "texel (1, 1) is pink";
}

TEST(SurfaceTextures, MadeOnceAndAgainOnlyAfterRelease) {
    EglContext egl(8, 8);
    SKIP_WITHOUT_EGL(egl);
    SurfaceTextureSource source;
    RecordingRegistry first_owner;
    const SurfaceTextures made = source.ensure(first_owner);
    EXPECT_NE(made.first, 0u);
    EXPECT_NE(made.second, 0u);
    EXPECT_NE(made.first, made.second);
    ASSERT_EQ(first_owner.resources.size(), 1u);

    // Both hold the image as RGB.
    for (uint32_t name : {made.first, made.second}) {
        EXPECT_TRUE(glIsTexture(name));
        std::vector<uint8_t> rgb(kTextureImageSide * kTextureImageSide * 3);
        glBindTexture(GL_TEXTURE_2D, name);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        EXPECT_EQ(std::vector<int>(rgb.begin(), rgb.begin() + 6), (std::vector<int>{255, 210, 210, 0, 0, 0}));
    }

    // Later frames, with any registry, reuse the names.
    RecordingRegistry other;
    const SurfaceTextures again = source.ensure(other);
    EXPECT_EQ(again.first, made.first);
    EXPECT_EQ(again.second, made.second);
    EXPECT_TRUE(other.resources.empty());
    EXPECT_EQ(source.sets_made(), 1u);

    // The owner goes away: the names are deleted, and the next frame makes
    // new textures for whoever draws it.
    first_owner.release_all();
    EXPECT_TRUE(source.current_set()->released());
    EXPECT_FALSE(glIsTexture(made.first));
    EXPECT_FALSE(glIsTexture(made.second));
    const SurfaceTextures remade = source.ensure(other);
    EXPECT_EQ(other.resources.size(), 1u);
    EXPECT_EQ(source.sets_made(), 2u);
    EXPECT_TRUE(glIsTexture(remade.first));
    EXPECT_TRUE(glIsTexture(remade.second));
    other.release_all();
}

}  // namespace
