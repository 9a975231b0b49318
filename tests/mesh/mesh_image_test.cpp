// Mesh images: which ones mesh_check lets through, that a refused one draws
// nothing, and the shipped knot from data/ drawn at a few matrices.
#include "gfx/mesh/mesh_draw.h"
#include "gfx/mesh/mesh_image.h"
#include "gfx/mesh/mesh_matrix.h"
#include "gfx/mesh/triangle_fill.h"
#include "gfx/picture/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// Host-order words as the bytes start-up leaves: cut at, or padded with zero
// words to, `bytes` (the 10000 it reads unless given).
std::vector<uint8_t> image_of(const std::vector<int32_t>& words, size_t bytes = MESH_IMAGE_BYTES)
{
    std::vector<uint8_t> image(bytes);
    if (!words.empty())
        std::memcpy(image.data(), words.data(), std::min(bytes, 4 * words.size()));
    return image;
}

// One triangle facing the camera at z = -20 after the identity.
const std::vector<int32_t> ONE_TRIANGLE = {3,     0, 0,        -1310720, 0, 65536, -1310720,
                                           65536, 0, -1310720, 1,        0, 2,     1};

TEST(MeshImage, CheckRefusesWhatCannotBeDrawn)
{
    EXPECT_TRUE(mesh_check(image_of(ONE_TRIANGLE)));
    EXPECT_TRUE(mesh_check(image_of({})));  // an empty file: no vertices, no triangles
    EXPECT_TRUE(mesh_check(image_of(ONE_TRIANGLE, 14 * 4)));

    auto with = [](size_t at, int32_t v) {
        std::vector<int32_t> w = ONE_TRIANGLE;
        w[at] = v;
        return image_of(w);
    };
    EXPECT_FALSE(mesh_check(with(11, 3)));    // index past the vertices
    EXPECT_FALSE(mesh_check(with(13, -1)));   // negative index
    EXPECT_FALSE(mesh_check(with(0, -1)));    // negative vertex count
    EXPECT_FALSE(mesh_check(with(10, -1)));   // negative triangle count
    EXPECT_FALSE(mesh_check(with(10, 830)));  // 2 + 9 + 3 x 830 words > 2500
    EXPECT_TRUE(mesh_check(with(10, 829)));   // zero words are index 0, a real vertex
    EXPECT_FALSE(mesh_check(with(0, 833)));   // vertices alone overrun the image
    EXPECT_FALSE(mesh_check(image_of(ONE_TRIANGLE, 13 * 4)));
    EXPECT_FALSE(mesh_check(std::span<const uint8_t>()));

    // Past 10000 bytes, the projected table's 1000 entries are the limit.
    std::vector<int32_t> big(2 + 3 * 1000);
    big[0] = 1000;
    EXPECT_TRUE(mesh_check(image_of(big, 4 * big.size())));
    big.insert(big.end(), {0, 0, 0});
    big[0] = 1001;
    EXPECT_FALSE(mesh_check(image_of(big, 4 * big.size())));

    FrameBuffer frame;
    frame.fill(1);
    mesh_reset();
    mesh_draw(with(11, 3), frame);
    EXPECT_EQ(std::count(frame.begin(), frame.end(), MESH_COLOUR), 0);
    mesh_draw(image_of(ONE_TRIANGLE), frame);
    EXPECT_GT(std::count(frame.begin(), frame.end(), MESH_COLOUR), 100);
}

std::vector<uint8_t> shipped_mesh()
{
    std::vector<uint8_t> image(MESH_IMAGE_BYTES);
    FILE* f = std::fopen(KIRMAVO_DATA_DIR "/mesh.bare", "rb");
    if (f == nullptr)
        return {};
    (void)std::fread(image.data(), 1, image.size(), f);
    std::fclose(f);
    words_from_big_endian(image.data(), MESH_IMAGE_BYTES / 4);
    return image;
}

// The timeline's matrices: translated about 20 units in, turning about y,
// then also about z while it moves away, and the nearest it comes (z = -7).
TEST(MeshImage, ShippedKnotDrawsInsideTheFrame)
{
    const std::vector<uint8_t> image = shipped_mesh();
    ASSERT_FALSE(image.empty()) << "no " KIRMAVO_DATA_DIR "/mesh.bare";
    ASSERT_TRUE(mesh_check(image));
    struct Pose {
        float y, z, turn, roll;
    };
    const Pose poses[] = {{-0.3f, -20, 0, 0},
                          {-3.0f, -20, 1.2f, 0},
                          {0.2f, -20, 3.5f, 0},
                          {-2.3f, -9, 20, 1.3f},
                          {-0.3f, -7, 7, 4}};
    constexpr size_t guard = 4096;
    for (const Pose& p : poses) {
        std::vector<uint32_t> words(guard + FRAME_PIXELS + guard, 0xFFFFFFFF);
        mesh_reset();
        mesh_translate(1.5f, p.y, p.z);
        mesh_rotate_y(p.turn);
        if (p.roll != 0)
            mesh_rotate_z(p.roll);
        mesh_draw(image, FrameView(words.data() + guard, FRAME_PIXELS));
        const auto black = std::count(words.begin(), words.end(), MESH_COLOUR);
        EXPECT_GT(black, 2000) << p.turn;
        EXPECT_EQ(std::count(words.begin(), words.begin() + guard, MESH_COLOUR), 0);
        EXPECT_EQ(std::count(words.end() - guard, words.end(), MESH_COLOUR), 0);
    }
}

}  // namespace
