// One art file in, the bytes of the file it describes out.
#include "art.h"

namespace lexart {

bool ConvertArt(const std::string& text, std::vector<uint8_t>& bytes, Kind& kind, std::string& error,
                int stripWidth) {
    ArtFile art;
    if (!ParseArt(text, art, error)) return false;
    kind = art.kind;
    if (stripWidth != 0) {
        const Strip* chosen = nullptr;
        for (const Strip& strip : art.strips)
            if (strip.width == stripWidth) chosen = &strip;
        if (art.kind != Kind::Bmp || !chosen) {
            error = "no strip of figures " + std::to_string(stripWidth) + " pixels wide";
            return false;
        }
        art.images = chosen->images;
    }
    if (art.kind == Kind::Bmp && art.images.empty() && art.canvas.empty()) {
        error = "only strips of figures: name the width of one";
        return false;
    }
    if (art.kind == Kind::Wav) bytes = WriteWav(SynthesiseSamples(art.sound), art.sound.rate);
    else if (art.kind == Kind::Bmp) bytes = WriteBmp(art);
    else bytes = WriteIconFile(art);
    return true;
}

}  // namespace lexart
