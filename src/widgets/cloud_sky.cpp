#include "widgets/cloud_sky.h"

#include <algorithm>

namespace lex {

namespace {

int Wrap(int value, int size)
{
    int r = value % size;
    return r < 0 ? r + size : r;
}

int Jitter(int value, int range, const CloudRandom& random)
{
    int r = random() % 1000;
    if (r < 0)
        r += 1000;
    int v = value + static_cast<int>(r * 0.001 * range) - range / 2;
    return std::clamp(v, 0, 255);
}

} // namespace

std::vector<int> MakeCloudGrid(int roughness, const CloudRandom& random)
{
    const int n = kCloudGridSize;
    std::vector<int> grid(static_cast<size_t>(n) * n, 0);
    auto at = [&](int row, int column) -> int& { return grid[static_cast<size_t>(Wrap(row, n)) * n + Wrap(column, n)]; };
    for (int a = n; a > 1; a /= 2) {
        const int half = a / 2;
        const int range = a * roughness;
        for (int p = 0; p < n; p += a) {
            for (int q = 0; q < n; q += a) {
                const int tl = at(p, q), tr = at(p, q + a), br = at(p + a, q + a), bl = at(p + a, q);
                at(p + half, q + half) = Jitter((tl + tr + br + bl) / 4, range, random);
                if (p == 0)
                    at(p + half, q) = Jitter((tl + bl) / 2, range, random);
                if (q == 0)
                    at(p, q + half) = Jitter((tl + tr) / 2, range, random);
                at(p + half, q + a) = Jitter((tr + br) / 2, range, random);
                at(p + a, q + half) = Jitter((br + bl) / 2, range, random);
            }
        }
    }
    return grid;
}

std::vector<int> StretchCloudGrid(const std::vector<int>& grid, int width, int height)
{
    std::vector<int> layer;
    if (width <= 0 || height <= 0)
        return layer;
    layer.resize(static_cast<size_t>(width) * height);
    const int n = kCloudGridSize;
    for (int y = 0; y < height; ++y) {
        const int column = static_cast<int>(static_cast<long long>(y) * n / height);
        for (int x = 0; x < width; ++x) {
            const int row = static_cast<int>(static_cast<long long>(x) * n / width);
            layer[static_cast<size_t>(y) * width + x] = grid[static_cast<size_t>(n) * row + column];
        }
    }
    return layer;
}

std::array<uint32_t, 256> MakeCloudPalette()
{
    std::array<uint32_t, 256> palette;
    for (uint32_t v = 0; v < 256; ++v)
        palette[v] = (v << 16) | (v << 8) | 0xFF;
    return palette;
}

void CloudMotion::Advance(int width, int height)
{
    if (!steering) {
        dx = defaultDx;
        dy = defaultDy;
    }
    x1 = Wrap(x1 + dx, width);
    y1 = Wrap(y1 + dy, height);
    x2 = Wrap(x2 + dx / 2, width);
    y2 = Wrap(y2 + dy / 2, height);
    x3 = Wrap(x2 + dx / 3, width);
    y3 = Wrap(y2 + dy / 3, height);
}

void CloudMotion::MouseMove(int x, int y)
{
    dx = x > lastX ? -step : x < lastX ? step : 0;
    dy = y > lastY ? step : y < lastY ? -step : 0;
    lastX = x;
    lastY = y;
}

int NextCreditsPosition(int position, int height, int creditsHeight)
{
    --position;
    return position < -std::max(height, creditsHeight) ? height : position;
}

bool CloudSky::Create(int width, int height, const CloudRandom& random)
{
    m_width = m_height = 0;
    for (auto& layer : m_layers)
        layer.clear();
    if (width <= 0 || height <= 0)
        return false;
    for (auto& layer : m_layers)
        layer = StretchCloudGrid(MakeCloudGrid(kCloudRoughness, random), width, height);
    m_palette = MakeCloudPalette();
    m_width = width;
    m_height = height;
    return true;
}

void CloudSky::Mix(uint32_t* pixels) const
{
    if (!IsReady())
        return;
    const CloudMotion& m = m_motion;
    const int w = m_width, h = m_height;
    const int* l1 = m_layers[0].data();
    const int* l2 = m_layers[1].data();
    const int* l3 = m_layers[2].data();
    for (int i = 0; i < h; ++i) {
        const int* r1 = l1 + static_cast<size_t>((i + m.y1) % h) * w;
        const int* r2 = l2 + static_cast<size_t>((i + m.y2) % h) * w;
        const int* r3 = l3 + static_cast<size_t>((i + m.y3) % h) * w;
        uint32_t* out = pixels + static_cast<size_t>(i) * w;
        // Each row is read from the offsets to the end and then from the start, so the
        // inner loops need no division.
        int c1 = m.x1, c2 = m.x2, c3 = m.x3;
        for (int j = 0; j < w; ++j) {
            out[j] = m_palette[static_cast<size_t>((r1[c1] + r2[c2] + r3[c3]) / 3)];
            if (++c1 == w)
                c1 = 0;
            if (++c2 == w)
                c2 = 0;
            if (++c3 == w)
                c3 = 0;
        }
    }
}

} // namespace lex
