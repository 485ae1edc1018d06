// The about box's sky: noise, drift and the frame mix, with a seeded generator. A fault
// here shows as a seam in the sky, clouds running the wrong way, a wrong colour, or
// credits that never come back.
#include "widgets/cloud_sky.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

lex::CloudRandom Seeded(unsigned seed)
{
    auto engine = std::make_shared<std::mt19937>(seed);
    return [engine] { return static_cast<int>((*engine)() & 0x7FFFFFFF); };
}

int Grid(const std::vector<int>& g, int row, int column)
{
    return g[static_cast<size_t>(row) * lex::kCloudGridSize + column];
}

} // namespace

TEST(CloudNoise, StaysWithinRangeAndWrapsWithoutASeam)
{
    const std::vector<int> grid = lex::MakeCloudGrid(lex::kCloudRoughness, Seeded(7));
    ASSERT_EQ(grid.size(), 256u * 256u);
    int lo = 255, hi = 0;
    for (int v : grid) {
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 255);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    EXPECT_GT(hi - lo, 100) << "a sky with clouds, not a flat colour";

    // A torus: the last row and column sit next to the first as smoothly as any two
    // neighbours inside, while far-apart cells differ much more.
    double inside = 0, seam = 0, far = 0;
    for (int i = 0; i < 256; ++i) {
        inside += std::abs(Grid(grid, 100, i) - Grid(grid, 101, i)) + std::abs(Grid(grid, i, 100) - Grid(grid, i, 101));
        seam += std::abs(Grid(grid, 255, i) - Grid(grid, 0, i)) + std::abs(Grid(grid, i, 255) - Grid(grid, i, 0));
        far += std::abs(Grid(grid, 0, i) - Grid(grid, 128, (i + 128) % 256)) +
               std::abs(Grid(grid, i, 0) - Grid(grid, (i + 128) % 256, 128));
    }
    EXPECT_LT(seam, 2.5 * inside + 512) << "a visible seam where the sky wraps";
    EXPECT_GT(far, 3 * seam);

    // Stretched over a control, pixel (x, y) takes grid cell (x * 256 / w, y * 256 / h).
    const std::vector<int> layer = lex::StretchCloudGrid(grid, 100, 50);
    ASSERT_EQ(layer.size(), 5000u);
    EXPECT_EQ(layer[0], Grid(grid, 0, 0));
    EXPECT_EQ(layer[49 * 100 + 99], Grid(grid, 99 * 256 / 100, 49 * 256 / 50));
    EXPECT_EQ(layer[10 * 100 + 50], Grid(grid, 128, 10 * 256 / 50));

    // The same seed gives the same sky; an empty control gets no sky at all.
    EXPECT_EQ(lex::MakeCloudGrid(lex::kCloudRoughness, Seeded(7)), grid);
    lex::CloudSky empty;
    EXPECT_FALSE(empty.Create(0, 40, Seeded(1)));
    EXPECT_FALSE(empty.Create(40, 0, Seeded(1)));
    EXPECT_FALSE(empty.IsReady());
}

TEST(CloudMotion, DriftsLeftAndDownByDefaultAndFollowsThePointerWhenSteered)
{
    lex::CloudMotion m;
    m.MouseMove(90, 40); // ignored without steering
    m.Advance(100, 50);
    EXPECT_EQ((std::vector<int>{m.x1, m.y1, m.x2, m.y2, m.x3, m.y3}), (std::vector<int>{2, 1, 1, 0, 1, 0}));
    for (int i = 1; i < 60; ++i)
        m.Advance(100, 50);
    EXPECT_EQ((std::vector<int>{m.x1, m.y1, m.x2, m.y2, m.x3, m.y3}), (std::vector<int>{20, 10, 60, 0, 60, 0}))
        << "layer 1 moves (2, 1), layers 2 and 3 (1, 0), wrapping at the edges";

    lex::CloudMotion s;
    s.steering = true;
    s.MouseMove(10, 5); // right and down: clouds follow right and down
    EXPECT_EQ(s.dx, -2);
    EXPECT_EQ(s.dy, 2);
    s.Advance(100, 50);
    EXPECT_EQ((std::vector<int>{s.x1, s.y1, s.x2, s.y2, s.x3, s.y3}), (std::vector<int>{98, 2, 99, 1, 99, 1}))
        << "offsets never go negative; layer 3 is taken from layer 2's new place";
    s.MouseMove(4, 1); // up and left
    EXPECT_EQ(s.dx, 2);
    EXPECT_EQ(s.dy, -2);
    s.MouseMove(8, 1); // only sideways: the vertical drift stops
    EXPECT_EQ(s.dx, -2);
    EXPECT_EQ(s.dy, 0);
    s.Advance(100, 50);
    EXPECT_EQ(s.y1, 2);
    s.steering = false;
    s.Advance(100, 50);
    EXPECT_EQ(s.dx, 2) << "without steering the default velocity comes back";
    EXPECT_EQ(s.dy, 1);

    // A one-pixel sky still wraps into range.
    lex::CloudMotion tiny;
    tiny.steering = true;
    tiny.MouseMove(5, 5);
    tiny.Advance(1, 1);
    EXPECT_EQ(tiny.x1, 0);
    EXPECT_EQ(tiny.y1, 0);
}

TEST(CloudSky, FrameMixesThreeLayersThroughTheBlueToWhitePalette)
{
    const auto palette = lex::MakeCloudPalette();
    EXPECT_EQ(palette[0], 0x0000FFu) << "pure blue";
    EXPECT_EQ(palette[255], 0xFFFFFFu) << "white";
    EXPECT_EQ(palette[128], 0x8080FFu);

    const int w = 40, h = 30;
    lex::CloudSky sky;
    ASSERT_TRUE(sky.Create(w, h, Seeded(3)));
    std::vector<uint32_t> a(static_cast<size_t>(w) * h), b(a.size());

    // Three layers averaged: 255, 0 and 90 make 115.
    std::fill(sky.Layer(0).begin(), sky.Layer(0).end(), 255);
    std::fill(sky.Layer(1).begin(), sky.Layer(1).end(), 0);
    std::fill(sky.Layer(2).begin(), sky.Layer(2).end(), 90);
    sky.Mix(a.data());
    EXPECT_EQ(a[0], palette[115]);
    EXPECT_EQ(a[a.size() - 1], palette[115]);

    // With only layer 1 showing, one frame moves the picture two pixels left and one
    // down (rows run bottom-up), wrapping round at the edges.
    sky.Layer(0) = lex::StretchCloudGrid(lex::MakeCloudGrid(lex::kCloudRoughness, Seeded(11)), w, h);
    std::fill(sky.Layer(2).begin(), sky.Layer(2).end(), 0);
    sky.Mix(a.data());
    sky.Advance();
    sky.Mix(b.data());
    int mismatches = 0;
    for (int i = 0; i < h; ++i)
        for (int j = 0; j < w; ++j)
            mismatches += b[static_cast<size_t>(i) * w + j] != a[static_cast<size_t>((i + 1) % h) * w + (j + 2) % w];
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(b[0], palette[static_cast<size_t>(sky.Layer(0)[1 * w + 2] / 3)]);
}

TEST(CloudCredits, RiseOnePixelPerFrameAndReEnterAtTheBottomEdgeOnceGone)
{
    // Steps from start until the text jumps back in; the lowest position before that.
    auto cycle = [](int start, int height, int creditsHeight, int& lowest) {
        int position = start, frames = 0;
        lowest = start;
        for (;;) {
            const int next = lex::NextCreditsPosition(position, height, creditsHeight);
            ++frames;
            if (next != position - 1 || frames > 10000)
                return next == height ? frames : -1;
            position = next;
            lowest = std::min(lowest, position);
        }
    };
    const int h = 50;
    int lowest = 0;
    EXPECT_EQ(cycle(h + 25, h, h, lowest), 126) << "from 25 px below the bottom up and out, then back at the edge";
    EXPECT_EQ(lowest, -h) << "the last frame before the jump shows them just gone above the top";
    EXPECT_EQ(cycle(h, h, h, lowest), 2 * h + 1);

    // Credits taller than the sky come back only once their last line has left.
    EXPECT_EQ(cycle(h, h, 170, lowest), h + 170 + 1);
    EXPECT_EQ(lowest, -170);
}
