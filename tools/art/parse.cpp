// Reading art files (format described in art.h).
#include "art.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace lexart {
namespace {

std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> out;
    std::istringstream in(line.substr(0, line.find(';')));
    std::string token;
    while (in >> token) out.push_back(token);
    return out;
}

bool ToInt(const std::string& s, int& value) {
    if (s.empty() || s.size() > 9) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    value = std::atoi(s.c_str());
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseColour(const std::string& s, Rgba& colour) {
    if (s == "none") {
        colour = Rgba{0, 0, 0, 0};
        return true;
    }
    if (s.size() != 6 && s.size() != 8) return false;
    uint8_t bytes[4] = {0, 0, 0, 255};
    for (size_t i = 0; i < s.size(); i += 2) {
        int hi = HexDigit(s[i]), lo = HexDigit(s[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[i / 2] = static_cast<uint8_t>(hi * 16 + lo);
    }
    colour = Rgba{bytes[0], bytes[1], bytes[2], bytes[3]};
    return true;
}

class Parser {
public:
    Parser(ArtFile& art, std::string& error) : m_art(art), m_error(error) {}

    bool Run(const std::string& text);

private:
    bool Fail(const std::string& why) {
        m_error = "line " + std::to_string(m_line) + ": " + why;
        return false;
    }
    bool Statement(const std::vector<std::string>& t);
    bool PictureStatement(const std::vector<std::string>& t);
    bool SoundStatement(const std::vector<std::string>& t);
    bool Row(const std::string& row);
    bool PaintStatement(const std::vector<std::string>& t);
    bool FigureStatement(const std::vector<std::string>& t);
    bool Finish();

    ArtFile& m_art;
    std::string& m_error;
    int m_line = 0;
    int m_rowsLeft = 0;  // rows still owed by the current image
    bool m_inFigure = false;
    Figure m_figure;
};

bool Parser::Run(const std::string& text) {
    m_art = ArtFile();
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        ++m_line;
        std::vector<std::string> t = Tokens(line);
        if (t.empty()) continue;
        if (m_rowsLeft > 0) {
            if (t.size() != 1) return Fail("an image row is one word of key characters");
            if (!Row(t[0])) return false;
        } else if (!Statement(t)) {
            return false;
        }
    }
    return Finish();
}

bool Parser::Statement(const std::vector<std::string>& t) {
    if (m_art.kind == Kind::None) {
        if (t[0] != "kind" || t.size() != 2) return Fail("the file must start with 'kind'");
        if (t[1] == "bmp") m_art.kind = Kind::Bmp;
        else if (t[1] == "ico") m_art.kind = Kind::Ico;
        else if (t[1] == "cur") m_art.kind = Kind::Cur;
        else if (t[1] == "wav") m_art.kind = Kind::Wav;
        else return Fail("unknown kind '" + t[1] + "'");
        m_art.depth = m_art.kind == Kind::Bmp ? 24 : m_art.kind == Kind::Wav ? 16 : 32;
        return true;
    }
    return m_art.kind == Kind::Wav ? SoundStatement(t) : PictureStatement(t);
}

bool Parser::PictureStatement(const std::vector<std::string>& t) {
    const std::string& word = t[0];
    if (m_art.kind == Kind::Bmp && (word == "canvas" || !m_art.canvas.empty())) return PaintStatement(t);
    if (m_inFigure || word == "figure") return FigureStatement(t);
    if (word == "depth" && t.size() == 2) {
        int depth = 0;
        if (!ToInt(t[1], depth)) return Fail("bad depth");
        bool bmp = m_art.kind == Kind::Bmp;
        if (bmp ? (depth != 24 && depth != 8) : (depth != 32 && depth != 1))
            return Fail(bmp ? "a bmp is 24 or 8 bits deep" : "an icon or cursor is 32 or 1 bit deep");
        if (!m_art.palette.empty() || !m_art.images.empty())
            return Fail("depth must come before the keys and images");
        m_art.depth = depth;
        return true;
    }
    if (word == "key" && t.size() == 3) {
        if (t[1].size() != 1) return Fail("a key is one character");
        PaletteKey k;
        k.key = t[1][0];
        for (const PaletteKey& other : m_art.palette)
            if (other.key == k.key) return Fail(std::string("key '") + k.key + "' defined twice");
        if (!ParseColour(t[2], k.colour)) return Fail("colour must be none, RRGGBB or RRGGBBAA");
        if (m_art.kind == Kind::Bmp && k.colour.a != 255)
            return Fail("a bmp has no transparency; give an opaque colour");
        if (m_art.depth == 1 && !(k.colour == Rgba{0, 0, 0, 255}) &&
            !(k.colour == Rgba{255, 255, 255, 255}) && k.colour.a != 0)
            return Fail("a 1-bit picture knows only 000000, ffffff and none");
        m_art.palette.push_back(k);
        if (m_art.depth == 8 && m_art.palette.size() > 256) return Fail("more than 256 keys");
        return true;
    }
    if (word == "image" && (t.size() == 3 || t.size() == 6)) {
        Image image;
        if (!ToInt(t[1], image.width) || !ToInt(t[2], image.height) || image.width < 1 ||
            image.height < 1)
            return Fail("image needs a width and a height");
        if (m_art.kind != Kind::Bmp && (image.width > 256 || image.height > 256))
            return Fail("icons and cursors are at most 256 pixels square");
        if (t.size() == 6) {
            if (t[3] != "hotspot" || m_art.kind != Kind::Cur)
                return Fail("only cursor images take 'hotspot x y'");
            if (!ToInt(t[4], image.hotX) || !ToInt(t[5], image.hotY) ||
                image.hotX >= image.width || image.hotY >= image.height)
                return Fail("the hot spot must lie inside the image");
        } else if (m_art.kind == Kind::Cur) {
            return Fail("a cursor image needs 'hotspot x y'");
        }
        for (const Image& other : m_art.images) {
            if (m_art.kind == Kind::Bmp && other.height != image.height)
                return Fail("the images of a bmp strip must share one height");
            if (m_art.kind != Kind::Bmp && other.width == image.width && other.height == image.height)
                return Fail("two images of the same size");
        }
        image.pixels.reserve(static_cast<size_t>(image.width) * image.height);
        m_art.images.push_back(image);
        m_rowsLeft = image.height;
        return true;
    }
    return Fail("unknown statement '" + word + "'");
}

// Stops "position:RRGGBB[AA]" from t[first] on, positions rising from 0 to 1.
struct Stop {
    double at = 0;
    Rgba colour;
};

bool ParseStops(const std::vector<std::string>& t, size_t first, std::vector<Stop>& stops) {
    for (size_t i = first; i < t.size(); ++i) {
        size_t colon = t[i].find(':');
        Stop stop;
        if (colon == std::string::npos || !ParseNumber(t[i].substr(0, colon), stop.at) ||
            !ParseColour(t[i].substr(colon + 1), stop.colour) || t[i].substr(colon + 1) == "none")
            return false;
        if (stop.at < 0 || stop.at > 1 || (!stops.empty() && stop.at < stops.back().at)) return false;
        stops.push_back(stop);
    }
    return stops.size() >= 2;
}

uint8_t Mix(double under, double over, double alpha) {
    double v = under + (over - under) * alpha;
    return static_cast<uint8_t>(std::lround(std::min(255.0, std::max(0.0, v))));
}

void Blend(Rgba& pixel, double r, double g, double b, double alpha) {
    pixel.r = Mix(pixel.r, r, alpha);
    pixel.g = Mix(pixel.g, g, alpha);
    pixel.b = Mix(pixel.b, b, alpha);
}

// Smooth noise in [-1, 1], periodic with the given period: random values at whole
// positions, joined by a smooth curve.
struct PeriodicNoise {
    std::vector<double> knots;
    double At(double x) const {
        const int n = static_cast<int>(knots.size());
        double f = std::floor(x);
        int i = static_cast<int>(f) % n;
        if (i < 0) i += n;
        double t = x - f;
        t = t * t * (3 - 2 * t);
        return knots[i] + (knots[(i + 1) % n] - knots[i]) * t;
    }
};

// A small, fixed pseudo-random sequence, so a seed always paints the same picture.
struct Random {
    uint32_t state;
    double Next() {  // in [-1, 1]
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / double(1u << 23) - 1.0;
    }
};

bool Parser::PaintStatement(const std::vector<std::string>& t) {
    const std::string& word = t[0];
    const int w = m_art.canvasWidth, h = m_art.canvasHeight;
    if (word == "canvas") {
        if (t.size() != 3) return Fail("canvas needs a width and a height");
        if (!m_art.canvas.empty() || !m_art.images.empty() || !m_art.palette.empty() || m_art.depth != 24)
            return Fail("a painted bmp has one canvas, 24 bits, and no keys or images");
        int cw = 0, ch = 0;
        if (!ToInt(t[1], cw) || !ToInt(t[2], ch) || cw < 1 || ch < 1 || cw > 4096 || ch > 4096)
            return Fail("the canvas is 1 to 4096 pixels each way");
        m_art.canvasWidth = cw;
        m_art.canvasHeight = ch;
        m_art.canvas.assign(static_cast<size_t>(cw) * ch, Rgba{0, 0, 0, 255});
        return true;
    }
    if (word == "fill" && t.size() >= 4 && (t[1] == "vertical" || t[1] == "horizontal")) {
        std::vector<Stop> stops;
        if (!ParseStops(t, 2, stops)) return Fail("fill needs two or more stops position:RRGGBB[AA], positions rising");
        const bool vertical = t[1] == "vertical";
        const int n = vertical ? h : w;
        for (int i = 0; i < n; ++i) {
            const double at = n > 1 ? static_cast<double>(i) / (n - 1) : 0;
            size_t k = 1;
            while (k + 1 < stops.size() && stops[k].at < at) ++k;
            const Stop& a = stops[k - 1];
            const Stop& b = stops[k];
            double f = b.at > a.at ? (at - a.at) / (b.at - a.at) : 1;
            f = std::min(1.0, std::max(0.0, f));
            const double r = a.colour.r + (b.colour.r - a.colour.r) * f;
            const double g = a.colour.g + (b.colour.g - a.colour.g) * f;
            const double bl = a.colour.b + (b.colour.b - a.colour.b) * f;
            const double alpha = (a.colour.a + (b.colour.a - a.colour.a) * f) / 255.0;
            for (int j = 0; j < (vertical ? w : h); ++j) {
                const int x = vertical ? j : i, y = vertical ? i : j;
                Blend(m_art.canvas[static_cast<size_t>(y) * w + x], r, g, bl, alpha);
            }
        }
        return true;
    }
    if (word == "waves" && (t.size() == 6 || t.size() == 7)) {
        int periods = 0;
        double amplitude = 0, centre = 0, half = 0, phase = 0;
        Rgba colour;
        if (!ToInt(t[1], periods) || periods < 1 || !ParseNumber(t[2], amplitude) || !ParseNumber(t[3], centre) ||
            !ParseNumber(t[4], half) || half <= 0 || !ParseColour(t[5], colour) || t[5] == "none" ||
            (t.size() == 7 && !ParseNumber(t[6], phase)))
            return Fail("waves needs periods, amplitude, centre, half-width > 0, RRGGBB[AA] and an optional phase");
        const double pi = std::acos(-1.0);
        for (int x = 0; x < w; ++x) {
            const double line = (centre + amplitude * std::sin(2 * pi * (periods * (x + 0.5) / w + phase))) * h;
            for (int y = 0; y < h; ++y) {
                const double d = std::fabs(y + 0.5 - line) / half;
                if (d >= 1) continue;
                const double cover = 1 - d * d * (3 - 2 * d);  // smooth edge
                Blend(m_art.canvas[static_cast<size_t>(y) * w + x], colour.r, colour.g, colour.b,
                      cover * colour.a / 255.0);
            }
        }
        return true;
    }
    if (word == "grain" && t.size() == 3) {
        double amount = 0;
        int seed = 0;
        if (!ParseNumber(t[1], amount) || amount < 0 || amount > 64 || !ToInt(t[2], seed))
            return Fail("grain needs an amount from 0 to 64 and a seed");
        Random random{static_cast<uint32_t>(seed) * 2654435761u + 1};
        // Each row: a slow wave along the row (a few knots across the width) plus a
        // faster fine one, and a row level of its own; neighbouring rows are mixed.
        std::vector<double> rowShade(static_cast<size_t>(h));
        for (int y = 0; y < h; ++y) {
            PeriodicNoise slow, fine;
            for (int k = 0; k < 6; ++k) slow.knots.push_back(random.Next());
            const int fineKnots = std::max(2, w / 12);
            for (int k = 0; k < fineKnots; ++k) fine.knots.push_back(random.Next());
            const double level = random.Next();
            for (int x = 0; x < w; ++x) {
                const double v = 0.45 * level + 0.35 * slow.At(6.0 * x / w) + 0.2 * fine.At(double(fineKnots) * x / w);
                Rgba& p = m_art.canvas[static_cast<size_t>(y) * w + x];
                const double delta = amount * v;
                p.r = Mix(p.r + delta, 0, 0);
                p.g = Mix(p.g + delta, 0, 0);
                p.b = Mix(p.b + delta, 0, 0);
            }
        }
        return true;
    }
    return Fail("unknown or incomplete statement '" + word + "' in a painted bmp");
}

// Reads a size "N" (N x N) or "WxH".
bool ToSize(const std::string& s, std::pair<int, int>& size) {
    const size_t x = s.find('x');
    if (x == std::string::npos) {
        if (!ToInt(s, size.first)) return false;
        size.second = size.first;
    } else if (!ToInt(s.substr(0, x), size.first) || !ToInt(s.substr(x + 1), size.second)) {
        return false;
    }
    return size.first >= 1 && size.second >= 1 && size.first <= 4096 && size.second <= 4096;
}

bool Parser::FigureStatement(const std::vector<std::string>& t) {
    if (!m_inFigure) {
        if (m_art.kind == Kind::Cur || m_art.depth == 1) return Fail("cursors and 1-bit pictures have no figures");
        if (m_art.kind == Kind::Bmp && m_art.palette.empty()) return Fail("a bmp's figures need its ground key first");
        m_figure = Figure();
        if (t.size() < 5 || !ToInt(t[1], m_figure.gridWidth) || !ToInt(t[2], m_figure.gridHeight) ||
            m_figure.gridWidth < 1 || m_figure.gridHeight < 1 || t[3] != "at")
            return Fail("figure needs a grid width and height, 'at' and the sizes to draw at");
        for (size_t i = 4; i < t.size(); ++i) {
            std::pair<int, int> size;
            if (!ToSize(t[i], size)) return Fail("a size is N or WxH, 1 to 4096 pixels");
            if (m_art.kind != Kind::Bmp && (size.first > 256 || size.second > 256))
                return Fail("icons and cursors are at most 256 pixels square");
            m_figure.sizes.push_back(size);
        }
        m_inFigure = true;
        return true;
    }
    if (t[0] != "end") {
        Shape shape;
        std::string why;
        if (!ParseShape(t, m_art, shape, why)) return Fail(why);
        m_figure.shapes.push_back(shape);
        return true;
    }
    if (t.size() != 1) return Fail("'end' stands alone");
    m_inFigure = false;
    const bool bmp = m_art.kind == Kind::Bmp;
    for (const std::pair<int, int>& size : m_figure.sizes) {
        Image image = DrawFigure(m_figure, size.first, size.second, m_art, bmp ? 0 : -1);
        if (!bmp) {
            for (const Image& other : m_art.images)
                if (other.width == image.width && other.height == image.height)
                    return Fail("two images of the same size");
            m_art.images.push_back(image);
            continue;
        }
        auto strip = std::find_if(m_art.strips.begin(), m_art.strips.end(),
                                  [&](const Strip& s) { return s.width == size.first; });
        if (strip == m_art.strips.end()) strip = m_art.strips.insert(m_art.strips.end(), Strip{size.first, size.second, {}});
        if (strip->height != size.second) return Fail("the images of a bmp strip must share one height");
        strip->images.push_back(image);
    }
    if (m_art.depth == 8 && m_art.palette.size() > 256) return Fail("more than 256 colours with the figure's edges");
    return true;
}

bool Parser::Row(const std::string& row) {
    Image& image = m_art.images.back();
    if (static_cast<int>(row.size()) != image.width)
        return Fail("row is " + std::to_string(row.size()) + " pixels wide, the image " +
                    std::to_string(image.width));
    for (size_t x = 0; x < row.size(); ++x) {
        int index = -1;
        for (size_t i = 0; i < m_art.palette.size(); ++i)
            if (m_art.palette[i].key == row[x]) index = static_cast<int>(i);
        if (index < 0)
            return Fail(std::string("undefined key '") + row[x] + "' in column " + std::to_string(x + 1));
        image.pixels.push_back(index);
    }
    --m_rowsLeft;
    return true;
}

bool Parser::SoundStatement(const std::vector<std::string>& t) {
    Sound& s = m_art.sound;
    const std::string& word = t[0];
    double v = 0;
    if (t.size() == 2 && word != "note" && word != "partial") {
        if (!ParseNumber(t[1], v) || v < 0) return Fail("'" + word + "' needs a number >= 0");
        if (word == "rate") {
            if (v < 8000 || v > 96000 || v != std::floor(v)) return Fail("rate is 8000 to 96000 Hz");
            s.rate = static_cast<int>(v);
        } else if (word == "peak") {
            if (v <= 0 || v > 1) return Fail("peak lies above 0 and at most 1");
            s.peak = v;
        } else if (word == "attack") s.attackMs = v;
        else if (word == "decay") {
            if (v <= 0) return Fail("decay must be above 0");
            s.decayMs = v;
        } else if (word == "release") s.releaseMs = v;
        else return Fail("unknown statement '" + word + "'");
        return true;
    }
    if (word == "partial" && t.size() == 3) {
        Partial p;
        if (!ParseNumber(t[1], p.multiple) || !ParseNumber(t[2], p.level) || p.multiple <= 0 || p.level < 0)
            return Fail("partial needs a frequency multiple above 0 and a level");
        s.partials.push_back(p);
        return true;
    }
    if (word == "note" && t.size() == 5) {
        Note n;
        if (!ParseNumber(t[1], n.frequency)) n.frequency = NoteFrequency(t[1]);
        if (n.frequency <= 0) return Fail("'" + t[1] + "' is neither a note name nor Hz");
        if (!ParseNumber(t[2], n.startMs) || !ParseNumber(t[3], n.lengthMs) || !ParseNumber(t[4], n.level) ||
            n.startMs < 0 || n.lengthMs <= 0 || n.level < 0)
            return Fail("note needs pitch, start ms, length ms and level");
        s.notes.push_back(n);
        return true;
    }
    return Fail("unknown or incomplete statement '" + word + "'");
}

bool Parser::Finish() {
    if (m_rowsLeft > 0)
        return Fail("the last image lacks " + std::to_string(m_rowsLeft) + " rows");
    if (m_inFigure) return Fail("a figure lacks its 'end'");
    if (m_art.kind == Kind::None) return Fail("empty file");
    if (m_art.kind == Kind::Wav) {
        Sound& s = m_art.sound;
        if (s.notes.empty()) return Fail("a sound needs at least one note");
        if (s.partials.empty()) s.partials.push_back(Partial{});
        double highest = 0, noteLevels = 0, partialLevels = 0;
        for (const Partial& p : s.partials) partialLevels += p.level;
        for (const Note& n : s.notes) {
            noteLevels += n.level;
            for (const Partial& p : s.partials) highest = std::max(highest, n.frequency * p.multiple);
        }
        // Above half the rate a sine folds back as an unrelated lower tone.
        if (highest >= s.rate / 2.0) return Fail("a partial lies above half the sample rate");
        if (noteLevels * partialLevels <= 0) return Fail("every note or partial is silent");
        return true;
    }
    if (m_art.images.empty() && m_art.canvas.empty() && m_art.strips.empty()) return Fail("no image");
    for (const Strip& strip : m_art.strips)
        if (!m_art.images.empty() && strip.images.size() != m_art.images.size())
            return Fail("the " + std::to_string(strip.width) + " pixel strip has " +
                        std::to_string(strip.images.size()) + " images, the pixel maps " +
                        std::to_string(m_art.images.size()));
    return true;
}

}  // namespace

bool ParseNumber(const std::string& s, double& value) {
    if (s.empty()) return false;
    char* end = nullptr;
    value = std::strtod(s.c_str(), &end);
    return end == s.c_str() + s.size() && std::isfinite(value);
}

bool ParseArt(const std::string& text, ArtFile& out, std::string& error) {
    Parser parser(out, error);
    return parser.Run(text);
}

double NoteFrequency(const std::string& name) {
    static const int kSemitone[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G from C
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') return 0;
    int semitone = kSemitone[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#') ++semitone, ++i;
    else if (name[i] == 'b') --semitone, ++i;
    int octave = 0;
    if (i + 1 != name.size() || !ToInt(name.substr(i), octave) || octave > 9) return 0;
    int fromA4 = (octave - 4) * 12 + semitone - 9;
    return 440.0 * std::pow(2.0, fromA4 / 12.0);
}

const char* KindExtension(Kind kind) {
    switch (kind) {
    case Kind::Bmp: return "bmp";
    case Kind::Ico: return "ico";
    case Kind::Cur: return "cur";
    case Kind::Wav: return "wav";
    default: return "";
    }
}

}  // namespace lexart
