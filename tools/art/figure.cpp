// Pictures described by shapes (format in art.h): parsing one shape statement, and
// drawing a figure at one size by painting the shapes into a finer grid of samples
// and giving each pixel the mix of its samples.
#include "art.h"

#include <algorithm>
#include <cmath>

namespace lexart {
namespace {

constexpr int kSamples = 8;  // samples per pixel along each axis

bool ToLength(const std::string& s, Length& length) {
    length.pixels = s.size() > 2 && s.compare(s.size() - 2, 2, "px") == 0;
    return ParseNumber(length.pixels ? s.substr(0, s.size() - 2) : s, length.value) && length.value >= 0;
}

// A palette index for a key character; -1 for '-'; -2 if the key is unknown.
int KeyIndex(const ArtFile& art, const std::string& key) {
    if (key == "-") return -1;
    if (key.size() == 1)
        for (size_t i = 0; i < art.palette.size(); ++i)
            if (art.palette[i].key == key[0]) return static_cast<int>(i);
    return -2;
}

// A shape in the pixels of the picture being drawn.
struct Placed {
    const Shape* shape = nullptr;
    std::vector<double> v;  // coordinates in pixels
    double width = 0, radius = 0, edge = 0;
};

double Snap(double v) { return std::floor(v + 0.5); }

// A stroke's centre line lies on pixel centres when its width is odd, on pixel
// boundaries when even, so that straight strokes cover whole pixels.
double SnapCentre(double v, double width) {
    return static_cast<int>(width) % 2 ? std::floor(v) + 0.5 : Snap(v);
}

// Places a span from centre c of length d (d rounded to whole pixels) so that its
// ends lie on pixel boundaries; returns the new centre.
double SnapSpan(double c, double& d) {
    d = std::max(1.0, Snap(d));
    return Snap(c - d / 2) + d / 2;
}

// Signed distance from p to a segment's band of half-width h, butt ends: negative inside.
double SegmentDistance(double px, double py, double ax, double ay, double bx, double by, double h) {
    const double dx = bx - ax, dy = by - ay, len = std::hypot(dx, dy);
    if (len == 0) return std::hypot(px - ax, py - ay) - h;
    const double ux = dx / len, uy = dy / len;
    const double along = (px - ax) * ux + (py - ay) * uy;
    const double across = std::fabs(-(px - ax) * uy + (py - ay) * ux);
    return std::max(across - h, std::max(-along, along - len));
}

// Distance of the point from the edge of the shape, negative inside (for ellipses an
// estimate good enough for edge bands of a few pixels).
double Distance(const Placed& p, double x, double y) {
    const std::vector<double>& v = p.v;
    switch (p.shape->type) {
    case ShapeType::Rect: {
        const double cx = (v[0] + v[2]) / 2, cy = (v[1] + v[3]) / 2;
        const double hx = (v[2] - v[0]) / 2, hy = (v[3] - v[1]) / 2;
        const double r = std::min({p.radius, hx, hy});
        const double qx = std::fabs(x - cx) - (hx - r), qy = std::fabs(y - cy) - (hy - r);
        return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - r;
    }
    case ShapeType::Ellipse: {
        const double nx = (x - v[0]) / v[2], ny = (y - v[1]) / v[3];
        const double k = std::hypot(nx, ny);
        if (k == 0) return -std::min(v[2], v[3]);
        // The point's distance along its ray from the centre, scaled by the local radius.
        const double along = std::hypot(x - v[0], y - v[1]);
        return along - along / k;
    }
    case ShapeType::Poly: {
        bool inside = false;
        double nearest = 1e9;
        const size_t n = v.size() / 2;
        for (size_t i = 0, j = n - 1; i < n; j = i++) {
            const double xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
            if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
            nearest = std::min(nearest, SegmentDistance(x, y, xi, yi, xj, yj, 0));
        }
        return inside ? -nearest : nearest;
    }
    case ShapeType::Line: {
        const double h = p.width / 2;
        double d = 1e9;
        for (size_t i = 0; i + 3 < v.size(); i += 2)
            d = std::min(d, SegmentDistance(x, y, v[i], v[i + 1], v[i + 2], v[i + 3], h));
        for (size_t i = 2; i + 3 < v.size(); i += 2)  // round joins
            d = std::min(d, std::hypot(x - v[i], y - v[i + 1]) - h);
        return d;
    }
    case ShapeType::Arc: {
        const double pi = std::acos(-1.0);
        const double dx = x - v[0], dy = y - v[1];
        double a = std::atan2(dy, dx) * 180 / pi;
        while (a < v[3]) a += 360;
        while (a >= v[3] + 360) a -= 360;
        if (a > v[4]) return 1e9;
        return std::fabs(std::hypot(dx, dy) - v[2]) - p.width / 2;
    }
    }
    return 1e9;
}

// Lays the shape out in the pixels of a width x height picture.
Placed Place(const Shape& shape, double sx, double sy) {
    const double s = (sx + sy) / 2;
    auto length = [&](const Length& l, bool atLeastOne) {
        double px = l.pixels ? l.value : Snap(l.value * s);
        return atLeastOne ? std::max(1.0, px) : px;
    };
    Placed p;
    p.shape = &shape;
    const std::vector<double>& n = shape.numbers;
    p.edge = shape.edgeKey >= 0 ? length(shape.edge, true) : 0;
    switch (shape.type) {
    case ShapeType::Rect:
        p.v = {Snap(n[0] * sx), Snap(n[1] * sy), Snap(n[2] * sx), Snap(n[3] * sy)};
        if (p.v[2] <= p.v[0]) p.v[2] = p.v[0] + 1;
        if (p.v[3] <= p.v[1]) p.v[3] = p.v[1] + 1;
        p.radius = shape.radius.pixels ? shape.radius.value : shape.radius.value * s;
        break;
    case ShapeType::Ellipse: {
        // Radii scale alike both ways, so that a circle stays round on a grid whose
        // sides scale a little differently.
        double dx = 2 * n[2] * s, dy = 2 * n[3] * s;
        const double cx = SnapSpan(n[0] * sx, dx), cy = SnapSpan(n[1] * sy, dy);
        p.v = {cx, cy, dx / 2, dy / 2};
        break;
    }
    case ShapeType::Poly:
        for (size_t i = 0; i < n.size(); i += 2) {
            p.v.push_back(Snap(n[i] * sx));
            p.v.push_back(Snap(n[i + 1] * sy));
        }
        break;
    case ShapeType::Line:
        p.width = length(shape.width, true);
        for (size_t i = 0; i < n.size(); i += 2) {
            // Across a straight stroke its centre line is snapped; along it, its butt
            // ends fall on pixel boundaries.
            bool ends[2] = {false, false};  // x, y: the end of a straight run along that axis
            for (size_t j : {i - 2, i + 2}) {
                if (j >= n.size()) continue;
                if (n[j + 1] == n[i + 1] && n[j] != n[i]) ends[0] = true;  // horizontal neighbour
                if (n[j] == n[i] && n[j + 1] != n[i + 1]) ends[1] = true;  // vertical neighbour
            }
            const bool inner = i != 0 && i + 2 != n.size();
            p.v.push_back(ends[0] && !inner ? Snap(n[i] * sx) : SnapCentre(n[i] * sx, p.width));
            p.v.push_back(ends[1] && !inner ? Snap(n[i + 1] * sy) : SnapCentre(n[i + 1] * sy, p.width));
        }
        break;
    case ShapeType::Arc: {
        p.width = length(shape.width, true);
        // The outer circle's diameter in whole pixels, its box on pixel boundaries.
        double outer = 2 * n[2] * s + p.width;
        const double cx = SnapSpan(n[0] * sx, outer);
        double outerY = 2 * n[2] * s + p.width;
        const double cy = SnapSpan(n[1] * sy, outerY);
        p.v = {cx, cy, outer / 2 - p.width / 2, n[3], n[4]};
        break;
    }
    }
    return p;
}

// The bounding box of a placed shape in pixels, clipped to the picture.
void Bounds(const Placed& p, int width, int height, int& x0, int& y0, int& x1, int& y1) {
    double lo[2] = {1e9, 1e9}, hi[2] = {-1e9, -1e9};
    const std::vector<double>& v = p.v;
    double grow = p.width + 1;
    if (p.shape->type == ShapeType::Ellipse || p.shape->type == ShapeType::Arc) {
        const double rx = v[2];
        const double ry = p.shape->type == ShapeType::Arc ? v[2] : v[3];
        lo[0] = v[0] - rx, hi[0] = v[0] + rx, lo[1] = v[1] - ry, hi[1] = v[1] + ry;
    } else {
        for (size_t i = 0; i + 1 < v.size(); i += 2)
            for (int k = 0; k < 2; ++k) {
                lo[k] = std::min(lo[k], v[i + k]);
                hi[k] = std::max(hi[k], v[i + k]);
            }
    }
    x0 = std::max(0, static_cast<int>(std::floor(lo[0] - grow)));
    y0 = std::max(0, static_cast<int>(std::floor(lo[1] - grow)));
    x1 = std::min(width, static_cast<int>(std::ceil(hi[0] + grow)));
    y1 = std::min(height, static_cast<int>(std::ceil(hi[1] + grow)));
}

bool IsReserved(const Rgba& c) {
    // The toolbar's colour-mapped loading turns these into system colours.
    return (c.r == c.g && c.g == c.b) && (c.r == 0 || c.r == 0x80 || c.r == 0xc0 || c.r == 0xff);
}

int PaletteIndex(ArtFile& art, const Rgba& colour) {
    for (size_t i = 0; i < art.palette.size(); ++i)
        if (art.palette[i].colour == colour) return static_cast<int>(i);
    art.palette.push_back(PaletteKey{0, colour});
    return static_cast<int>(art.palette.size()) - 1;
}

}  // namespace

bool ParseShape(const std::vector<std::string>& t, const ArtFile& art, Shape& shape, std::string& why) {
    size_t i = 0;
    while (i + 1 < t.size() && (t[i] == "from" || t[i] == "upto")) {
        double n = 0;
        if (!ParseNumber(t[i + 1], n) || n < 1) return why = "'" + t[i] + "' needs a size", false;
        (t[i] == "from" ? shape.fromSize : shape.uptoSize) = static_cast<int>(n);
        i += 2;
    }
    if (i + 1 >= t.size()) return why = "a shape needs a key and its measures", false;
    const std::string& word = t[i];
    shape.fill = KeyIndex(art, t[i + 1]);
    if (shape.fill == -2) return why = "undefined key '" + t[i + 1] + "'", false;
    size_t at = i + 2;
    size_t count = 0;  // numbers expected, 0 for "pairs to the end"
    if (word == "rect") shape.type = ShapeType::Rect, count = 4;
    else if (word == "ellipse") shape.type = ShapeType::Ellipse, count = 4;
    else if (word == "poly") shape.type = ShapeType::Poly;
    else if (word == "line") shape.type = ShapeType::Line;
    else if (word == "arc") shape.type = ShapeType::Arc, count = 5;
    else return why = "unknown shape '" + word + "'", false;
    const bool stroke = shape.type == ShapeType::Line || shape.type == ShapeType::Arc;
    if (stroke) {
        if (shape.fill < 0) return why = "a line or arc needs a key", false;
        if (at >= t.size() || !ToLength(t[at], shape.width) || shape.width.value <= 0)
            return why = "a line or arc needs a width", false;
        ++at;
    }
    double v = 0;
    while (at < t.size() && (count == 0 || shape.numbers.size() < count) && ParseNumber(t[at], v)) {
        shape.numbers.push_back(v);
        ++at;
    }
    const size_t n = shape.numbers.size();
    if (count ? n != count : (n % 2 != 0 || n < (shape.type == ShapeType::Poly ? 6u : 4u)))
        return why = "wrong number of measures for '" + word + "'", false;
    if (shape.type == ShapeType::Ellipse && (shape.numbers[2] <= 0 || shape.numbers[3] <= 0))
        return why = "an ellipse needs radii above 0", false;
    if (shape.type == ShapeType::Arc && (shape.numbers[2] <= 0 || shape.numbers[4] <= shape.numbers[3]))
        return why = "an arc needs a radius and rising angles", false;
    while (at < t.size()) {
        if (t[at] == "round" && shape.type == ShapeType::Rect && at + 1 < t.size() &&
            ToLength(t[at + 1], shape.radius)) {
            at += 2;
        } else if (t[at] == "edge" && !stroke && at + 2 < t.size() && ToLength(t[at + 1], shape.edge) &&
                   shape.edge.value > 0 && KeyIndex(art, t[at + 2]) >= 0) {
            shape.edgeKey = KeyIndex(art, t[at + 2]);
            at += 3;
        } else if (t[at] == "clip" && at + 4 < t.size() && shape.clip.empty()) {
            for (size_t k = 1; k <= 4; ++k) {
                if (!ParseNumber(t[at + k], v)) return why = "clip needs x0 y0 x1 y1", false;
                shape.clip.push_back(v);
            }
            at += 5;
        } else {
            return why = "unexpected '" + t[at] + "' after '" + word + "'", false;
        }
    }
    if (shape.fill < 0 && shape.edgeKey < 0) return why = "a shape without a key or an edge draws nothing", false;
    return true;
}

Image DrawFigure(const Figure& figure, int width, int height, ArtFile& art, int ground) {
    const int sw = width * kSamples, sh = height * kSamples;
    std::vector<int> samples(static_cast<size_t>(sw) * sh, -1);  // palette index, -1 ground
    const double sx = static_cast<double>(width) / figure.gridWidth;
    const double sy = static_cast<double>(height) / figure.gridHeight;
    auto key = [&](int index) {
        // Painting in the ground colour or a fully transparent key erases.
        if (index < 0 || index == ground || art.palette[static_cast<size_t>(index)].colour.a == 0) return -1;
        return index;
    };
    for (const Shape& shape : figure.shapes) {
        if (width < shape.fromSize || width > shape.uptoSize) continue;
        const Placed p = Place(shape, sx, sy);
        int x0, y0, x1, y1;
        Bounds(p, width, height, x0, y0, x1, y1);
        if (!shape.clip.empty()) {
            x0 = std::max(x0, static_cast<int>(Snap(shape.clip[0] * sx)));
            y0 = std::max(y0, static_cast<int>(Snap(shape.clip[1] * sy)));
            x1 = std::min(x1, static_cast<int>(Snap(shape.clip[2] * sx)));
            y1 = std::min(y1, static_cast<int>(Snap(shape.clip[3] * sy)));
        }
        for (int y = y0 * kSamples; y < y1 * kSamples; ++y)
            for (int x = x0 * kSamples; x < x1 * kSamples; ++x) {
                const double d = Distance(p, (x + 0.5) / kSamples, (y + 0.5) / kSamples);
                if (d >= 0) continue;
                const bool inEdge = p.edge > 0 && d > -p.edge;
                const int paint = inEdge ? shape.edgeKey : shape.fill;
                if (paint == -1 && !inEdge) continue;  // no fill: the inside stays as it was
                samples[static_cast<size_t>(y) * sw + x] = key(paint);
            }
    }

    Image image;
    image.width = width;
    image.height = height;
    const int perPixel = kSamples * kSamples;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double r = 0, g = 0, b = 0, a = 0;
            int grounds = 0, first = -2;
            bool single = true;
            for (int j = 0; j < kSamples; ++j)
                for (int i = 0; i < kSamples; ++i) {
                    const int s = samples[static_cast<size_t>(y * kSamples + j) * sw + x * kSamples + i];
                    if (s < 0) {
                        ++grounds;
                        continue;
                    }
                    if (first == -2) first = s;
                    single = single && s == first;
                    const Rgba& c = art.palette[static_cast<size_t>(s)].colour;
                    const double weight = ground >= 0 ? 1.0 : c.a / 255.0;
                    r += c.r * weight, g += c.g * weight, b += c.b * weight, a += weight;
                }
            int index;
            if (ground >= 0 ? grounds * 2 > perPixel : a == 0) {
                index = ground >= 0 ? ground : PaletteIndex(art, Rgba{0, 0, 0, 0});
            } else if (single && (ground >= 0 || grounds == 0)) {
                index = first;  // wholly one key: its own colour, not a copy
            } else {
                Rgba mixed{static_cast<uint8_t>(std::lround(r / a)), static_cast<uint8_t>(std::lround(g / a)),
                           static_cast<uint8_t>(std::lround(b / a)),
                           static_cast<uint8_t>(ground >= 0 ? 255 : std::lround(255.0 * a / perPixel))};
                if (ground >= 0 && (IsReserved(mixed) || mixed == art.palette[static_cast<size_t>(ground)].colour))
                    mixed.b = static_cast<uint8_t>(mixed.b < 128 ? mixed.b + 1 : mixed.b - 1);
                index = PaletteIndex(art, mixed);
            }
            image.pixels.push_back(index);
        }
    return image;
}

}  // namespace lexart
