// lexart: turns the text pixel maps and sound descriptions under src/resources/art/
// into the BMP, ICO, CUR and WAV files that the resource script embeds.
//
// An art file is plain text, one statement per line; ';' starts a comment that runs
// to the end of the line, and blank lines are ignored. A picture file reads:
//
//     kind ico                 ; ico, cur or bmp (wav: see below)
//     depth 32                 ; optional: bmp 24 (default) or 8, ico/cur 32 (default) or 1
//     key . none               ; a one-character key and its colour: none (fully
//     key # 1b2433             ; transparent), RRGGBB, or RRGGBBAA with alpha
//     key s 3b7dd880
//     image 16 16              ; width height [hotspot x y], then exactly height rows
//     ....####....
//     ...
//
// Rows are written top row first, one key character per pixel; spaces and ';' are
// never keys. A bmp file with several images lays them side by side into one strip
// (the toolbar's button images); an ico or cur file keeps one entry per image.
//
// A bmp may instead be painted: larger smooth pictures such as backgrounds, 24 bits.
// The statements after 'canvas' paint over the whole picture, in order:
//
//     canvas 480 40            ; width height; starts black
//     fill vertical 0:dfeefa 0.5:b9d6f0 1:a6c8e8
//                              ; a ramp from top to bottom (or 'horizontal', left to
//                              ; right) through colour stops position:RRGGBB[AA],
//                              ; positions 0 to 1 in rising order; alpha blends over
//     waves 3 0.12 0.55 5 ffffff50 0.25
//                              ; a soft ribbon along a sine: whole periods across the
//                              ; width (so the picture tiles sideways without a seam),
//                              ; amplitude and centre line as fractions of the height,
//                              ; the ribbon's half-width in pixels, colour, and an
//                              ; optional phase in periods
//     grain 6 17               ; brushed streaks: brightness varies by up to +-6,
//                              ; smoothly along each row and from row to row; seed 17
//
// An ico or a bmp strip may also describe pictures by shapes, drawn afresh for each
// size they are wanted at (rather than stretched), anti-aliased, with their edges
// snapped to the pixel grid of that size:
//
//     figure 16 15 at 24x23 32x30   ; design grid, then the sizes (N = NxN) to draw at
//     ellipse b 8 7.5 7 7 edge 1px B
//     line w 2 8 6 8 12
//     end
//
// Coordinates and lengths are in units of the design grid and scale with the size
// drawn; a length written with 'px' (1px) stays that many pixels at every size.
// Shapes are painted in order, each in a palette key ('-' for none, a key of colour
// 'none' or a bmp's first key erases back to the ground):
//
//     rect K x0 y0 x1 y1 [round R] [edge W K2]   ; box from corner to corner
//     ellipse K cx cy rx ry [edge W K2]
//     poly K x y x y x y ... [edge W K2]         ; even-odd filled polygon
//     line K W x y x y ...                       ; stroke of width W, butt ends,
//                                                ; round joins
//     arc K W cx cy r a0 a1                      ; circular stroke from angle a0 to a1
//                                                ; (degrees, 0 east, 90 south)
//
// 'edge W K2' paints the band of width W inside the outline in K2; 'clip x0 y0 x1 y1'
// paints only inside that box (after the others, any shape). A shape may be
// prefixed with 'from N' and/or 'upto N' to draw it only when the picture is at
// least / at most N pixels wide. In an ico every size drawn is one more image; in a
// bmp the figures drawn at one size make a strip of their own, in figure order, which
// ConvertArt writes when asked for that width. A bmp's ground is its first key, and
// a bmp pixel is either ground or wholly drawn (the mask stays clean); an icon's edge
// pixels are partly transparent. Colours mixed at the edges join the palette.
//
// A sound file (kind wav) describes a few sine notes mixed into 16-bit mono PCM:
//
//     kind wav
//     rate 22050               ; samples per second
//     peak 0.5                 ; loudest sample as a fraction of full scale
//     attack 3                 ; ms of linear rise at each note's start
//     decay 150                ; ms, time constant of each note's exponential fade
//     release 25               ; ms of linear fade before each note's end (no clicks)
//     partial 1 1.0            ; overtone: frequency multiple, relative level
//     note A5 0 200 0.8        ; pitch (name or Hz), start ms, length ms, level
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lexart {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 0;
    bool operator==(const Rgba& o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

struct PaletteKey {
    char key = 0;
    Rgba colour;
};

struct Image {
    int width = 0;
    int height = 0;
    int hotX = 0;  // cursors only
    int hotY = 0;
    std::vector<int> pixels;  // palette indices, row by row from the top
};

struct Partial {
    double multiple = 1.0;
    double level = 1.0;
};

struct Note {
    double frequency = 0.0;  // Hz
    double startMs = 0.0;
    double lengthMs = 0.0;
    double level = 1.0;
};

struct Sound {
    int rate = 22050;
    double peak = 0.5;
    double attackMs = 2.0;
    double decayMs = 150.0;
    double releaseMs = 20.0;
    std::vector<Partial> partials;
    std::vector<Note> notes;
};

enum class Kind { None, Bmp, Ico, Cur, Wav };

// A length in design units, or in pixels of the picture drawn ('1px').
struct Length {
    double value = 0;
    bool pixels = false;
};

enum class ShapeType { Rect, Ellipse, Poly, Line, Arc };

struct Shape {
    ShapeType type = ShapeType::Rect;
    int fill = -1;                // palette index, -1 for none
    int edgeKey = -1;             // palette index of the edge band, -1 for none
    Length edge;                  // width of the edge band
    Length width;                 // stroke width of lines and arcs
    Length radius;                // corner radius of a rect
    std::vector<double> numbers;  // coordinates (and an arc's radius and angles)
    std::vector<double> clip;     // x0 y0 x1 y1, or empty
    int fromSize = 0;             // drawn only at widths from fromSize ...
    int uptoSize = 1 << 30;       // ... up to uptoSize
};

struct Figure {
    int gridWidth = 0;
    int gridHeight = 0;
    std::vector<std::pair<int, int>> sizes;  // width, height of each picture drawn
    std::vector<Shape> shapes;
};

// The figures of a bmp drawn at one size, side by side like the pixel-map images.
struct Strip {
    int width = 0;
    int height = 0;
    std::vector<Image> images;
};

struct ArtFile {
    Kind kind = Kind::None;
    int depth = 0;  // 0 until parsed: then 24 or 8 for bmp, 32 or 1 for ico/cur
    std::vector<PaletteKey> palette;
    std::vector<Image> images;
    // A painted bmp (no keys or images): its pixels, row by row from the top.
    int canvasWidth = 0;
    int canvasHeight = 0;
    std::vector<Rgba> canvas;
    Sound sound;
    std::vector<Strip> strips;  // a bmp's drawn strips, one per size

    Rgba PixelAt(const Image& image, int x, int y) const {
        return palette[image.pixels[static_cast<size_t>(y) * image.width + x]].colour;
    }
};

// Reads an art file. On failure returns false and sets error to "line N: reason";
// a file that parses is complete and consistent, so the writers below cannot fail.
bool ParseArt(const std::string& text, ArtFile& out, std::string& error);

// A whole word read as a finite number.
bool ParseNumber(const std::string& s, double& value);

// One shape statement of a figure (tokens t, keys from art.palette); false with the
// reason in why if it is malformed.
bool ParseShape(const std::vector<std::string>& t, const ArtFile& art, Shape& shape, std::string& why);

// Draws the figure at width x height. Colours mixed at the edges are added to
// art.palette; ground is the palette index of a bmp's background, -1 for an icon.
Image DrawFigure(const Figure& figure, int width, int height, ArtFile& art, int ground);

// Frequency of a note name such as "A4" (440 Hz), "C#6" or "Bb5"; 0 if malformed.
double NoteFrequency(const std::string& name);

// The file extension each kind is written to ("bmp", "ico", "cur", "wav").
const char* KindExtension(Kind kind);

// Windows bitmap file: all images side by side, bottom-up rows padded to 4 bytes.
std::vector<uint8_t> WriteBmp(const ArtFile& art);

// Icon or cursor file (by art.kind): one directory entry per image, each an
// upside-down bitmap of double height holding the colour pixels and then the
// 1-bit AND mask (1 = transparent).
std::vector<uint8_t> WriteIconFile(const ArtFile& art);

// The mixed sound, normalised so that its loudest sample is sound.peak of full scale.
std::vector<int16_t> SynthesiseSamples(const Sound& sound);

// RIFF/WAVE file, PCM, 16 bits, one channel.
std::vector<uint8_t> WriteWav(const std::vector<int16_t>& samples, int rate);

// Parses the text and produces the bytes of the file its kind names.
// A bmp's drawn strip of images stripWidth wide is written instead of its pixel maps
// when stripWidth is not 0.
bool ConvertArt(const std::string& text, std::vector<uint8_t>& bytes, Kind& kind,
                std::string& error, int stripWidth = 0);

}  // namespace lexart
