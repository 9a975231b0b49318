// Scenes 4 to 7 on pictures made here: the times taken from the rows heard,
// the mesh's motion and the halftone strengths, the fade steps and their
// gate, the wipe, and the scene boundaries, with the rows stamped on the
// player's clock as the music would.
#include "app/scene_crawl.h"
#include "app/scene_mesh.h"
#include "app/scene_time.h"
#include "tests/scenes/scenes_fixture.h"

#include <algorithm>
#include <cmath>

namespace {

// The same fixture; the suite's own name keeps the scenes of the second
// half together.
using LateScenes = Scenes;

TEST_F(LateScenes, SinceIsZeroUntilTheRowIsHeard)
{
    EXPECT_EQ(scene_since(5000, 1000), 0);  // no stamp yet
    heard(1000, 4000);
    EXPECT_EQ(scene_since(5000, 1000), 1000);
    EXPECT_EQ(scene_since(3999, 1000), 0);  // stamped for later than now
    EXPECT_EQ(scene_since(5000, 1001), 0);
    EXPECT_EQ(scene_since(INT32_MIN, 1000), 0);
}

TEST_F(LateScenes, MeshPose)
{
    MeshPose p = scene_mesh_pose(0, 1010, {500, 0, 0});
    EXPECT_EQ(p.x, 1.5f);
    EXPECT_EQ(p.y, -5.3f);
    EXPECT_EQ(p.z, -20.0f);
    EXPECT_EQ(p.strength, 184);
    EXPECT_EQ(p.wipe, 0);
    EXPECT_EQ(scene_mesh_pose(0, 1031, {0, 0, 0}).y, -10.3f);  // rising from below
    EXPECT_EQ(scene_mesh_pose(0, 1031, {2000, 0, 0}).y, -0.3f);
    EXPECT_EQ(scene_mesh_pose(0, 1099, {0, 0, 0}).y, -0.3f);

    // The bounce: a = 4 / 2^4 - 0.05 = 0.2 a second after 1100, then none.
    p = scene_mesh_pose(0, 1120, {2000, 1000, 0});
    EXPECT_NEAR(p.y, 0.2 * std::sin(20.0) - 0.3, 1e-5);
    EXPECT_NEAR(p.y, -0.117, 1e-3);
    EXPECT_EQ(scene_mesh_pose(0, 1147, {0, 100000, 0}).y, -0.3f);
    EXPECT_EQ(p.strength, int(std::cos(4.0f) * 120.0f + 130.0f));

    // Down and away from 1148, turning about z, under the wipe.
    p = scene_mesh_pose(3000, 1160, {20000, 6000, 800});
    EXPECT_EQ(p.y, -8.3f);
    EXPECT_EQ(p.z, -19.0f);
    EXPECT_FLOAT_EQ(p.turn_y, 3.0f);
    EXPECT_FLOAT_EQ(p.turn_z, 4.0f);
    EXPECT_EQ(p.wipe, 160);
    EXPECT_EQ(scene_mesh_pose(0, 1199, {0, 0, 9000}).wipe, 320);
}

TEST_F(LateScenes, FinaleStrengthPulses)
{
    EXPECT_EQ(scene_finale_strength(0), 260);
    EXPECT_LE(scene_finale_strength(3142), 1);
    for (int32_t t = 0; t < 20000; t += 37) {
        EXPECT_GE(scene_finale_strength(t), 0) << t;
        EXPECT_LE(scene_finale_strength(t), 260) << t;
    }
}

TEST_F(LateScenes, FadeStepsTowardsThePictureBehindItsGate)
{
    show->paint.fill(0x10);
    draw(1000, 900);  // turned to colour through the grey palette
    EXPECT_EQ((*canvas)[0], 0x00101010u);
    draw(1045, 900);
    EXPECT_EQ((*canvas)[0], 0x00101010u);
    draw(1046, 901);
    EXPECT_EQ((*canvas)[0], 0x0111110Fu);
    draw(1092, 902);
    EXPECT_EQ((*canvas)[FRAME_PIXELS - 1], 0x0212120Eu);
    draw(1138, 903);
    EXPECT_EQ((*canvas)[0], 0x0312120Eu);
    EXPECT_TRUE(canvas_is(show->work_c));
}

TEST_F(LateScenes, WipeSlidesTheNoiseInFromTheLeft)
{
    heard(1000, 1000);
    heard(1100, 2000);
    heard(1148, 3000);
    draw(3800, 1150);
    for (int y = 0; y < FRAME_HEIGHT; y += 7)
        for (int x = 0; x < FRAME_WIDTH; x++)
            ASSERT_EQ((*canvas)[size_t(y * FRAME_WIDTH + x)], x < 160 ? noise(x + 160, y) : 0u)
                << x << "," << y;
    // Far below by 6 s, the mesh is not drawn; the noise covers everything.
    draw(9000, 1199);
    EXPECT_TRUE(std::equal(canvas->begin(), canvas->end(), storage[PICTURE_NOISE].begin()));
}

TEST_F(LateScenes, Boundaries)
{
    draw(500, 899);
    EXPECT_EQ(show->scene.flyin_start, 500);
    EXPECT_EQ(show->scene.fade_time, -1);
    draw(600, 900);
    EXPECT_EQ(show->scene.fade_time, 600);
    EXPECT_EQ(show->scene.flyin_start, 500);

    draw(700, 999);
    EXPECT_TRUE(canvas_is(show->work_c));
    heard(1000, 700);
    draw(701, 1000);  // the halftone of a black picture, over black
    EXPECT_TRUE(std::all_of(canvas->begin(), canvas->end(), [](uint32_t v) { return v == 0; }));

    draw(800, 1199);
    EXPECT_FALSE(canvas_is(show->work_b));
    draw(900, 1200);  // the crawl steps over the noise
    EXPECT_EQ(show->scene.step_time, 900);
    EXPECT_TRUE(canvas_is(show->work_b));
    draw(920, 1339);
    EXPECT_EQ(show->scene.step_time, 900);
    EXPECT_TRUE(canvas_is(show->work_b));
    heard(1340, 930);
    draw(930, 1340);
    EXPECT_TRUE(std::all_of(canvas->begin(), canvas->end(), [](uint32_t v) { return v == BACKDROP; }));
}

}  // namespace
