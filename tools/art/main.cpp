// lexart INPUT OUTPUT [WIDTH]: converts one art file (see art.h) into the BMP, ICO, CUR or WAV
// file it describes. The output's extension must match the file's kind, so that a
// resource script never embeds, say, a bitmap under an icon's name. WIDTH picks a bmp's
// strip of figures drawn at that width instead of its pixel maps.
#include "art.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
    int stripWidth = 0;
    if ((argc != 3 && argc != 4) || (argc == 4 && (stripWidth = std::atoi(argv[3])) <= 0)) {
        std::cerr << "usage: lexart INPUT OUTPUT [WIDTH]\n";
        return 2;
    }
    const std::string input = argv[1], output = argv[2];
    std::ifstream in(input, std::ios::binary);
    if (!in) {
        std::cerr << input << ": cannot open\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    std::vector<uint8_t> bytes;
    lexart::Kind kind = lexart::Kind::None;
    std::string error;
    if (!lexart::ConvertArt(text.str(), bytes, kind, error, stripWidth)) {
        std::cerr << input << ": " << error << "\n";
        return 1;
    }
    std::string extension = std::string(".") + lexart::KindExtension(kind);
    if (output.size() < extension.size() ||
        output.compare(output.size() - extension.size(), extension.size(), extension) != 0) {
        std::cerr << input << ": describes a " << extension << " file, not " << output << "\n";
        return 1;
    }
    // Write beside the target and rename, so a failed run never leaves a truncated
    // file that the build would take as up to date.
    const std::string temporary = output + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            std::cerr << temporary << ": cannot write\n";
            std::remove(temporary.c_str());
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), output.c_str()) != 0) {
        std::cerr << output << ": cannot replace\n";
        std::remove(temporary.c_str());
        return 1;
    }
    return 0;
}
