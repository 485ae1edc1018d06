// One art file in, the bytes of the file it describes out.
#include "art.h"

namespace lexart {

bool ConvertArt(const std::string& text, std::vector<uint8_t>& bytes, Kind& kind, std::string& error) {
    ArtFile art;
    if (!ParseArt(text, art, error)) return false;
    kind = art.kind;
    if (art.kind == Kind::Wav) bytes = WriteWav(SynthesiseSamples(art.sound), art.sound.rate);
    else if (art.kind == Kind::Bmp) bytes = WriteBmp(art);
    else bytes = WriteIconFile(art);
    return true;
}

}  // namespace lexart
