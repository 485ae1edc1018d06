// The portable part of the clouds control: three layers of plasma noise, their
// drift, the blue-to-white palette, the mix of one frame into 32-bit pixels, and the
// credits' vertical position. The window class (clouds_ctrl.h) only adds the bitmaps,
// the timer and the mouse.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace lex {

// A source of non-negative random integers (rand() in the program, a seeded
// generator in tests). Only the value modulo 1000 is used.
using CloudRandom = std::function<int()>;

constexpr int kCloudGridSize = 256;
constexpr int kCloudRoughness = 8;

// A 256 x 256 torus of midpoint-displacement noise, values 0..255, row-major
// (index 256 * row + column).
std::vector<int> MakeCloudGrid(int roughness, const CloudRandom& random);

// The grid stretched over width x height pixels, row-major (index y * width + x).
std::vector<int> StretchCloudGrid(const std::vector<int>& grid, int width, int height);

// Entry v: blue 255, green and red v, as a 32-bit DIB pixel 0x00RRGGBB (v = 0 blue,
// v = 255 white).
std::array<uint32_t, 256> MakeCloudPalette();

// Where each layer stands and how fast layer 1 moves.
struct CloudMotion {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0, x3 = 0, y3 = 0;
    int dx = 2, dy = 1;
    int defaultDx = 2, defaultDy = 1;
    int lastX = 0, lastY = 0;
    int step = 2;
    bool steering = false;

    // One frame's move over a width x height sky (both at least 1). Without steering
    // the velocity goes back to the default first. Layer 2 moves half as far as layer 1;
    // layer 3 stands a third of the velocity beyond layer 2's new place.
    void Advance(int width, int height);
    // The pointer moved to (x, y): the clouds follow its direction.
    void MouseMove(int x, int y);
};

// The credits' next y: one pixel up; once the whole text (creditsHeight rows, at least
// the sky's height) has left at the top, it re-enters at the bottom edge (height).
int NextCreditsPosition(int position, int height, int creditsHeight);

// The sky: three layers over a width x height area and their motion.
class CloudSky {
public:
    // Makes the three layers from one random sequence in turn. FALSE (and no layers)
    // for a zero or negative size: such a sky cannot move.
    bool Create(int width, int height, const CloudRandom& random);
    bool IsReady() const { return m_width > 0 && m_height > 0; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

    // Moves the layers one frame.
    void Advance() { m_motion.Advance(m_width, m_height); }
    // Writes the mixed layers into width x height pixels, the first row being the
    // bottom row of the picture (a bottom-up DIB).
    void Mix(uint32_t* pixels) const;

    CloudMotion& Motion() { return m_motion; }
    const CloudMotion& Motion() const { return m_motion; }
    std::vector<int>& Layer(int index) { return m_layers[index]; }

private:
    int m_width = 0;
    int m_height = 0;
    std::array<std::vector<int>, 3> m_layers;
    std::array<uint32_t, 256> m_palette = {};
    CloudMotion m_motion;
};

} // namespace lex
