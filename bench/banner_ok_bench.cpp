// The banner page's OK with all sixteen "Banner" keys changed, on a settings file like
// the shipped one: written key by key (each write replaces the file) against written as
// one group (one replacement). Built natively and, from bench/win, for Windows.
#include "base/fileio.h"
#include "options/banner_page_values.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

const char kShippedLook[] =
    "[Banner]\r\nBannerBKColor=800000\r\nBannerAutoSize=1\r\nBannerScroll=1\r\nBannerScrollSpeed=3\r\n"
    "BannerWordI=0\r\nBannerWordB=1\r\nBannerWordU=0\r\nBannerPhoneticI=0\r\nBannerPhoneticB=0\r\n"
    "BannerPhoneticU=0\r\nBannerDescI=0\r\nBannerDescB=0\r\nBannerDescU=0\r\nBannerWordColor=ffff\r\n"
    "BannerPhoneticColor=ffffff\r\nBannerDescColor=ffff00\r\n\r\n[Dict]\r\nDictName=缺省字典\r\n"
    "DictWordCount=1234\r\n\r\n[Interface]\r\nInterfaceLeft=20\r\nInterfaceTop=20\r\nInterfaceCX=600\r\n"
    "InterfaceCY=30\r\nInterfaceBKImage=1\r\nInterfaceBKStartColor=ffffff\r\nInterfaceBKEndColor=c0c0c0\r\n"
    "\r\n[Tip]\r\nStartUp=1\r\nFilePos=0\r\n";

lex::BannerPageValues Flipped(lex::BannerPageValues v)
{
    v.autoSize ^= 1;
    v.scroll ^= 1;
    v.bkColor ^= 0x808080;
    v.speed = v.speed % 5 + 1; // always another value in 1..5
    for (int& s : v.styles)
        s ^= 1;
    v.wordColor ^= 0xFF;
    v.phoneticColor ^= 0xFF00;
    v.descColor ^= 0xFF0000;
    return v;
}

// Milliseconds per OK over `rounds` OKs, each changing all sixteen keys.
double MeasureOk(const std::string& path, bool grouped, int rounds, std::string& finalBytes)
{
    lex::ReplaceFileContents(path, kShippedLook);
    lex::CSettings settings(path);
    const auto begin = Clock::now();
    for (int i = 0; i < rounds; ++i) {
        const lex::BannerPageValues start = lex::ReadBannerPageValues(settings);
        const lex::BannerPageValues now = Flipped(start);
        if (grouped) {
            lex::CSettingsGroup group(settings);
            if (lex::WriteChangedBannerKeys(settings, start, now) != 16 || !group.Commit())
                std::fprintf(stderr, "grouped OK failed\n");
        } else if (lex::WriteChangedBannerKeys(settings, start, now) != 16) {
            std::fprintf(stderr, "key-by-key OK failed\n");
        }
    }
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    lex::ReadWholeFile(path, finalBytes);
    return ms / rounds;
}

} // namespace

int main()
{
    const char* tmp = std::getenv("TEMP");
    if (!tmp)
        tmp = std::getenv("TMPDIR");
    const std::string folder = std::string(tmp ? tmp : "/tmp") + "/";
    const std::string byKey = folder + "lex_bench_ok_bykey.ini", grouped = folder + "lex_bench_ok_group.ini";
    const int rounds = 200;
    std::string a, b;
    const double keyMs = MeasureOk(byKey, false, rounds, a);
    const double groupMs = MeasureOk(grouped, true, rounds, b);
    std::printf("banner page OK, 16 keys changed (%d OKs each):\n", rounds);
    std::printf("  key by key : %8.3f ms per OK (16 file replacements)\n", keyMs);
    std::printf("  one group  : %8.3f ms per OK (1 file replacement), %.1fx faster\n", groupMs, keyMs / groupMs);
    std::printf("  files identical: %s\n", a == b ? "yes" : "NO");
    std::remove(byKey.c_str());
    std::remove(grouped.c_str());
    return a == b ? 0 : 1;
}
