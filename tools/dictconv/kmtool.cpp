#include "kmtool.h"

#include "cmudict.h"
#include "dictionary/word_list.h"
#include "ecdict.h"
#include "platform.h"

#include <algorithm>
#include <map>

namespace kmtool {

namespace {

const char kUsage[] =
    "usage:\n"
    "  kmtool [options] LIST [-o DICT.KM]     word list -> Lexorin dictionary\n"
    "  kmtool --to-text DICT.KM [-o LIST]     dictionary -> UTF-8 word list with IPA\n"
    "  kmtool --stats FILE                    entries, empty fields, longest line\n"
    "  kmtool --text-to-936 TEXT -o OUT       any text file -> code page 936, CR LF\n"
    "  kmtool --from-cmudict CMUDICT [--variants FILE] LIST.tsv [-o OUT.tsv]\n"
    "                                         fill the IPA column from the CMU\n"
    "                                         Pronouncing Dictionary\n"
    "  kmtool --from-ecdict TAG [--cmudict CMUDICT [--variants FILE]] ECDICT.csv\n"
    "         [-o OUT.tsv] [--stats]          the exam word book TAG (zk gk cet4 cet6\n"
    "                                         ky ielts toefl gre) from ECDICT's csv\n"
    "\n"
    "A word list is UTF-8 (with or without BOM), UTF-16 with BOM or code page 936, one\n"
    "entry per line, as TSV (word<TAB>IPA<TAB>meaning), CSV (word,IPA,meaning; quote\n"
    "fields holding commas: \"a, b\", and write a quote inside them as \"\") or\n"
    "'word [IPA] meaning' lines. Two columns are word and meaning. Blank lines and lines\n"
    "starting with '#' are skipped. The IPA is converted to the codes of the DFPhonetic\n"
    "font; the dictionary is written in code page 936 as word/phonetic/meaning.\n"
    "\n"
    "options:\n"
    "  -o FILE          output file (a word list becomes LIST with extension .KM;\n"
    "                   the other modes write to the standard output)\n"
    "  --format F       input format tsv, csv, lines or km (default: from the file\n"
    "                   extension, else guessed from the first entry); with --to-text\n"
    "                   the output format tsv, csv or lines (default tsv)\n"
    "  --encoding E     read the input as utf8, utf16 (LE), utf16be or gbk instead\n"
    "                   of recognising its encoding\n"
    "  --skip-header    the first line names the columns; skip it\n"
    "  --raw-phonetic   the phonetic column already holds DFPhonetic font codes\n"
    "  --keep-going     write the accepted entries even when some lines were rejected\n"
    "                   (the exit code is still 1)\n"
    "  --stats          also print the statistics of the converted dictionary\n"
    "\n"
    "exit code: 0 all converted, 1 some lines rejected (each reported with its file\n"
    "name and line number), 2 the command could not run.\n";

enum class Mode { ToKm, ToText, Stats, TextTo936, FromCmuDict, FromEcdict };

struct Options {
    Mode mode = Mode::ToKm;
    bool statsToo = false;
    bool keepGoing = false;
    bool formatGiven = false;
    std::string input;
    std::string output;
    std::string cmudict;
    std::string variants;
    std::string tag;
    ToKmOptions km;
};

bool ParseArgs(const std::vector<std::string>& args, Options& o, std::string& error)
{
    bool modeSet = false;
    const auto setMode = [&](Mode m) {
        if (modeSet && o.mode != m) {
            error = "choose one of --to-text, --stats, --text-to-936, --from-cmudict and --from-ecdict";
            return false;
        }
        o.mode = m;
        modeSet = true;
        return true;
    };
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const auto value = [&](std::string& dest) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            dest = args[++i];
            return true;
        };
        if (a == "-o" || a == "--output") {
            if (!value(o.output))
                return false;
        } else if (a == "--format") {
            std::string f;
            if (!value(f))
                return false;
            if (!ParseFormatName(f, &o.km.format)) {
                error = "unknown format \"" + f + "\" (tsv, csv, lines or km)";
                return false;
            }
            o.formatGiven = true;
        } else if (a == "--encoding") {
            std::string e;
            if (!value(e))
                return false;
            if (!ParseEncodingName(e, &o.km.encoding)) {
                error = "unknown encoding \"" + e + "\" (utf8, utf16, utf16be or gbk)";
                return false;
            }
            o.km.encodingGiven = true;
        } else if (a == "--skip-header") {
            o.km.skipHeader = true;
        } else if (a == "--raw-phonetic") {
            o.km.rawPhonetic = true;
        } else if (a == "--keep-going") {
            o.keepGoing = true;
        } else if (a == "--to-text") {
            if (!setMode(Mode::ToText))
                return false;
        } else if (a == "--stats") {
            o.statsToo = true;
        } else if (a == "--text-to-936") {
            if (!setMode(Mode::TextTo936))
                return false;
        } else if (a == "--from-cmudict") {
            if (!setMode(Mode::FromCmuDict) || !value(o.cmudict))
                return false;
        } else if (a == "--from-ecdict") {
            if (!setMode(Mode::FromEcdict) || !value(o.tag))
                return false;
        } else if (a == "--cmudict") {
            if (!value(o.cmudict))
                return false;
        } else if (a == "--variants") {
            if (!value(o.variants))
                return false;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "unknown option " + a;
            return false;
        } else if (o.input.empty()) {
            o.input = a;
        } else {
            error = "more than one input file (\"" + o.input + "\" and \"" + a + "\")";
            return false;
        }
    }
    if (o.input.empty()) {
        error = "no input file";
        return false;
    }
    if (o.statsToo && !modeSet)
        o.mode = o.output.empty() ? Mode::Stats : Mode::ToKm;
    if (o.mode == Mode::TextTo936 && o.output.empty()) {
        error = "--text-to-936 needs -o OUT";
        return false;
    }
    if (!o.variants.empty() && o.mode != Mode::FromCmuDict && o.cmudict.empty()) {
        error = "--variants goes with --from-cmudict or --cmudict";
        return false;
    }
    if (!o.cmudict.empty() && o.mode != Mode::FromCmuDict && o.mode != Mode::FromEcdict) {
        error = "--cmudict goes with --from-ecdict";
        return false;
    }
    return true;
}

std::string DefaultKmName(const std::string& input)
{
    const size_t dot = input.find_last_of('.');
    const size_t slash = input.find_last_of("/\\");
    const bool hasExt = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExt ? input.substr(0, dot) : input) + ".KM";
}

void PrintStats(const Stats& s, std::ostream& out)
{
    out << "entries: " << s.entries << "\n"
        << "empty phonetic: " << s.emptyPhonetic << "\n"
        << "empty meaning: " << s.emptyMeaning << "\n"
        << "longest line: " << s.longestBytes << " bytes";
    if (s.longestLine > 0)
        out << " (line " << s.longestLine << ")";
    out << "\n"
        << "lines over " << kMaxKmLineBytes << " bytes: " << s.overLong << "\n";
}

void PrintExamBookStats(const ExamBookStats& s, size_t budget, std::ostream& out)
{
    out << "rows with the tag and a translation: " << s.tagged << "\n"
        << "written: " << s.written << " (word not representable: " << s.wordRejected
        << ", nothing left of the meaning: " << s.meaningEmpty << ")\n"
        << "phonetic from CMUdict: " << s.phoneticCmu << ", from ECDICT: " << s.phoneticEcdict
        << ", none: " << s.phoneticNone << " (ECDICT's unusable: " << s.phoneticUnusable << ")\n"
        << "dropped for code page 936: " << s.drops.characters << " characters, " << s.drops.senses
        << " senses, in " << s.entriesWithDrops << " entries\n";
    if (s.meaningBytes.empty())
        return;
    std::vector<int> sorted = s.meaningBytes;
    std::sort(sorted.begin(), sorted.end());
    long sum = 0;
    for (int b : sorted)
        sum += b;
    const auto at = [&](double q) { return sorted[static_cast<size_t>(q * (sorted.size() - 1))]; };
    out << "meaning width (bytes, budget " << budget << "): mean " << sum / static_cast<long>(sorted.size())
        << ", median " << at(0.5) << ", 10% " << at(0.1) << ", 90% " << at(0.9) << ", max " << sorted.back()
        << "\n";
    int bins[5] = {};
    for (int b : sorted)
        ++bins[std::min(4, b * 4 / static_cast<int>(budget + 1))];
    out << "  by quarter of the budget:";
    for (int k = 0; k < 4; ++k)
        out << " " << bins[k];
    out << " (over: " << bins[4] << ")\n";
}

// Writes the result unless lines were rejected (then only with --keep-going), and
// turns the report into the exit code.
int Finish(const Options& o, const std::string& target, const std::string& bytes, const Report& report,
           std::ostream& out, std::ostream& err, const std::string& summary)
{
    for (const std::string& m : report.Messages())
        err << m << "\n";
    const bool rejected = report.Errors() > 0;
    if (rejected && !o.keepGoing) {
        err << "kmtool: " << report.Errors() << " problem(s); nothing written"
            << (target.empty() ? "" : " (--keep-going writes what could be converted)") << "\n";
        return kExitRejected;
    }
    if (target.empty()) {
        out << bytes;
    } else if (!WriteFileBytes(target, bytes)) {
        err << "kmtool: cannot write " << target << "\n";
        return kExitFailure;
    } else if (!summary.empty()) {
        err << "kmtool: " << summary << " -> " << target << "\n";
    }
    return rejected ? kExitRejected : kExitOk;
}

} // namespace

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err)
{
    Options o;
    std::string error;
    if (args.size() <= 1 || (args.size() == 2 && (args[1] == "-h" || args[1] == "--help"))) {
        err << kUsage;
        return args.size() <= 1 ? kExitFailure : kExitOk;
    }
    if (!ParseArgs(args, o, error)) {
        err << "kmtool: " << error << "\n\n" << kUsage;
        return kExitFailure;
    }
    std::string bytes;
    if (!ReadFileBytes(o.input, bytes)) {
        err << "kmtool: cannot read " << o.input << "\n";
        return kExitFailure;
    }
    Report report;
    const Format inputFormat =
        o.formatGiven && o.mode != Mode::ToText ? o.km.format : FormatFromFileName(o.input);

    switch (o.mode) {
    case Mode::TextTo936: {
        const std::string text = TextToCp936(bytes, o.input, o.km, report);
        return Finish(o, o.output, text, report, out, err, "converted");
    }
    case Mode::FromCmuDict: {
        std::string dictBytes;
        if (!ReadFileBytes(o.cmudict, dictBytes)) {
            err << "kmtool: cannot read " << o.cmudict << "\n";
            return kExitFailure;
        }
        CmuDict dict;
        std::map<std::string, int> choices;
        dict.Load(dictBytes, o.cmudict, report);
        if (!o.variants.empty()) {
            std::string variantBytes;
            if (!ReadFileBytes(o.variants, variantBytes)) {
                err << "kmtool: cannot read " << o.variants << "\n";
                return kExitFailure;
            }
            ParseVariantChoices(variantBytes, o.variants, choices, report);
        }
        const std::string tsv =
            report.Errors() ? std::string() : FillIpaFromCmuDict(bytes, o.input, dict, choices, report);
        return Finish(o, o.output, tsv, report, out, err, "IPA filled in");
    }
    case Mode::FromEcdict: {
        CmuDict dict;
        std::map<std::string, int> choices;
        if (!o.cmudict.empty()) {
            std::string dictBytes;
            if (!ReadFileBytes(o.cmudict, dictBytes)) {
                err << "kmtool: cannot read " << o.cmudict << "\n";
                return kExitFailure;
            }
            dict.Load(dictBytes, o.cmudict, report);
        }
        if (!o.variants.empty()) {
            std::string variantBytes;
            if (!ReadFileBytes(o.variants, variantBytes)) {
                err << "kmtool: cannot read " << o.variants << "\n";
                return kExitFailure;
            }
            ParseVariantChoices(variantBytes, o.variants, choices, report);
        }
        ExamBookOptions options;
        options.tag = o.tag;
        options.cmu = o.cmudict.empty() ? nullptr : &dict;
        options.choices = &choices;
        ExamBookStats stats;
        const std::string tsv = report.Errors() ? std::string() : MakeExamBook(bytes, o.input, options, report, &stats);
        if (o.statsToo)
            PrintExamBookStats(stats, options.meaningBudget, out);
        return Finish(o, o.output, tsv, report, out, err, std::to_string(stats.written) + " entries");
    }
    case Mode::ToText: {
        Format outFormat = o.formatGiven ? o.km.format : Format::Tsv;
        if (outFormat == Format::Km || outFormat == Format::Auto)
            outFormat = Format::Tsv;
        const std::vector<TextEntry> entries = DecodeKm(bytes, o.input, report, nullptr);
        return Finish(o, o.output, FormatEntries(entries, outFormat), report, out, err,
                      std::to_string(entries.size()) + " entries");
    }
    case Mode::Stats:
    case Mode::ToKm:
        break;
    }

    Stats stats;
    if (inputFormat == Format::Km) {
        if (o.mode == Mode::ToKm) {
            err << "kmtool: " << o.input << " is already a dictionary (use --to-text or --stats)\n";
            return kExitFailure;
        }
        DecodeKm(bytes, o.input, report, &stats);
        for (const std::string& m : report.Messages())
            err << m << "\n";
        PrintStats(stats, out);
        return report.Errors() ? kExitRejected : kExitOk;
    }

    ToKmOptions km = o.km;
    km.format = inputFormat;
    const std::vector<TextEntry> entries = ParseWordList(bytes, o.input, km, report);
    const std::string dict = EncodeKm(entries, o.input, km, report, &stats);
    if (o.mode == Mode::Stats) {
        for (const std::string& m : report.Messages())
            err << m << "\n";
        PrintStats(stats, out);
        return report.Errors() ? kExitRejected : kExitOk;
    }
    const std::string target = o.output.empty() ? DefaultKmName(o.input) : o.output;
    if (target == o.input) {
        err << "kmtool: the output would overwrite the input " << o.input << "\n";
        return kExitFailure;
    }
    const int code = Finish(o, target, dict, report, out, err,
                            std::to_string(stats.entries) + " entries, read as " +
                                EncodingName(InputEncoding(bytes, km)));
    if (o.statsToo && code != kExitFailure)
        PrintStats(stats, out);
    return code;
}

} // namespace kmtool
