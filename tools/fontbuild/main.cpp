// lexfont --source FONT.ttf --output DFHGWPRN.TTF
//         [--licence-from COPYRIGHT --licence-output LICENCE.txt [--origin TEXT]]
//
// Builds the phonetic font from a TrueType font with IPA glyphs and, optionally, the
// licence file that must travel with it (from a Debian machine-readable copyright
// file; --origin says where the source font came from, e.g. its package).
#include "fontbuild.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>

namespace {

bool ReadFile(const std::string& path, std::string& out)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

// Writes beside the target and renames, so an interrupted build never leaves a
// truncated font that a later build would take as up to date.
bool WriteFile(const std::string& path, const void* data, size_t size)
{
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

std::string BaseName(const std::string& path)
{
    size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Usage()
{
    std::cerr << "usage: lexfont --source FONT.ttf --output OUT.ttf\n"
                 "               [--licence-from COPYRIGHT --licence-output OUT.txt [--origin TEXT]]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    std::string source, output, licenceFrom, licenceOutput, origin;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (i + 1 >= argc)
            return Usage();
        std::string value = argv[++i];
        if (arg == "--source")
            source = value;
        else if (arg == "--output")
            output = value;
        else if (arg == "--licence-from")
            licenceFrom = value;
        else if (arg == "--licence-output")
            licenceOutput = value;
        else if (arg == "--origin")
            origin = value;
        else
            return Usage();
    }
    if (source.empty() || output.empty() || licenceFrom.empty() != licenceOutput.empty())
        return Usage();

    std::string sourceText;
    if (!ReadFile(source, sourceText)) {
        std::cerr << "lexfont: cannot read " << source << "\n";
        return 1;
    }
    const fontbuild::Bytes sourceBytes(sourceText.begin(), sourceText.end());
    fontbuild::PhoneticFontOptions options;
    options.symbols = fontbuild::PhoneticTableSymbols();
    fontbuild::Bytes font;
    std::string error;
    if (!fontbuild::BuildPhoneticFont(sourceBytes, options, font, error)) {
        std::cerr << "lexfont: " << source << ": " << error << "\n";
        return 1;
    }
    if (!fontbuild::VerifySfntChecksums(font, error)) {
        std::cerr << "lexfont: the built font fails its own check: " << error << "\n";
        return 1;
    }

    if (!licenceFrom.empty()) {
        std::string copyright, licence;
        if (!ReadFile(licenceFrom, copyright)) {
            std::cerr << "lexfont: cannot read " << licenceFrom << "\n";
            return 1;
        }
        // "Family Version x (file, origin)" from the source font's own names.
        fontbuild::Sfnt src;
        std::vector<fontbuild::NameRecord> names;
        std::string description = BaseName(source);
        if (fontbuild::ParseSfnt(sourceBytes, src, error) &&
            fontbuild::ReadNames(*src.Find(fontbuild::Tag("name")), names, error)) {
            std::string family = fontbuild::WindowsName(names, 1);
            std::string version = fontbuild::WindowsName(names, 5);
            description = family + (version.empty() ? "" : ", " + version) + " (" + BaseName(source) +
                          (origin.empty() ? "" : ", " + origin) + ")";
        }
        if (!fontbuild::MakeLicenceText(copyright, description, options.family, BaseName(output), licence,
                                        error)) {
            std::cerr << "lexfont: " << licenceFrom << ": " << error << "\n";
            return 1;
        }
        if (!WriteFile(licenceOutput, licence.data(), licence.size())) {
            std::cerr << "lexfont: cannot write " << licenceOutput << "\n";
            return 1;
        }
    }
    if (!WriteFile(output, font.data(), font.size())) {
        std::cerr << "lexfont: cannot write " << output << "\n";
        return 1;
    }
    return 0;
}
