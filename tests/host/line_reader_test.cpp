// The dictionary reader: what the feed shows, in which order and with which counter,
// depends on every byte rule here; a slip shows the wrong entry or loses the position.
#include "dictionary/line_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

std::string TempPath(const std::string& tag)
{
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    return ::testing::TempDir() + "lex_reader_" + info->name() + "_" + tag + "_" + std::to_string(getpid());
}

class TempFile {
public:
    explicit TempFile(const std::string& bytes, const std::string& tag = "f") : m_path(TempPath(tag))
    {
        Write(bytes);
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    void Write(const std::string& bytes)
    {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

struct RecordingWarning : ILineReaderWarning {
    void Warn(const std::string& text, const std::string& caption) override
    {
        texts.push_back(text);
        captions.push_back(caption);
    }
    std::vector<std::string> texts;
    std::vector<std::string> captions;
};

using Lines = std::vector<std::pair<int, std::string>>;

// Reads to the end; each entry is (result, line).
Lines ReadAll(CLineReader& reader)
{
    Lines lines;
    std::string line;
    for (int guard = 0; guard < 1000000; ++guard) {
        const int n = reader.ReadLine(line);
        if (n == 0) {
            EXPECT_TRUE(line.empty());
            break;
        }
        lines.emplace_back(n, line);
    }
    return lines;
}

Lines ReadFile(const std::string& bytes, int bufferSize, RecordingWarning* warnings = nullptr)
{
    TempFile file(bytes);
    CLineReader reader(bufferSize);
    reader.SetWarningSink(warnings);
    EXPECT_TRUE(reader.Open(file.Path()));
    return ReadAll(reader);
}

} // namespace

TEST(LineReader, TerminatorsAndCounting)
{
    EXPECT_TRUE(ReadFile("", 2048).empty());
    EXPECT_EQ(ReadFile("abc", 2048), (Lines{{1, "abc"}}));
    // The blank line between is counted, so the counter is the line number.
    EXPECT_EQ(ReadFile("one\r\n\r\ntwo\r\n", 2048), (Lines{{1, "one"}, {3, "two"}}));
    EXPECT_EQ(ReadFile("ab\ncd", 2048), (Lines{{1, "ab"}, {2, "cd"}}));
    // Every pair of CR/LF bytes is one terminator; a third byte pairs with the second
    // and ends a blank line of its own.
    EXPECT_EQ(ReadFile("a\n\rb\r\rc\n\nd\r\n\re", 2048),
              (Lines{{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}, {6, "e"}}));
    // A blank-only line is not empty and reaches the feed.
    EXPECT_EQ(ReadFile("  \r\nx", 2048), (Lines{{1, "  "}, {2, "x"}}));
}

TEST(LineReader, PairSplitByChunkBoundaryIsTwoTerminators)
{
    // "abc\r" fills a 4-byte chunk; its LF arrives in the next chunk and is not taken
    // as its partner, so no blank line is counted for it.
    EXPECT_EQ(ReadFile("abc\r\nde", 4), (Lines{{1, "abc"}, {2, "de"}}));
    // Two full pairs straddling the boundary differently still number line 3 right.
    EXPECT_EQ(ReadFile("ab\r\n\r\nde", 4), (Lines{{1, "ab"}, {3, "de"}}));
}

TEST(LineReader, LinesAcrossChunkBoundaries)
{
    std::string first(2040, 'a');
    std::string crossing = "crosses-the-boundary-of-2048-bytes";
    EXPECT_EQ(ReadFile(first + "\r\n" + crossing + "\r\n", 2048), (Lines{{1, first}, {2, crossing}}));
    // A small chunk: the second line starts in one chunk and ends in the next.
    EXPECT_EQ(ReadFile("abc\ndefghi\nq", 8), (Lines{{1, "abc"}, {2, "defghi"}, {3, "q"}}));
}

TEST(LineReader, OverlongLines)
{
    const std::string l2046(2046, 'a'), l2047(2047, 'b'), l3000(3000, 'c');
    {
        RecordingWarning w;
        EXPECT_EQ(ReadFile(l2046 + "\r\nnext", 2048, &w), (Lines{{1, l2046}, {2, "next"}}));
        EXPECT_TRUE(w.texts.empty());
    }
    {
        // Full before the terminator is looked at: warned, delivered whole, and the
        // terminator is skipped by the next call.
        RecordingWarning w;
        EXPECT_EQ(ReadFile(l2047 + "\r\nnext", 2048, &w), (Lines{{1, l2047}, {2, "next"}}));
        ASSERT_EQ(w.texts.size(), 1u);
        EXPECT_EQ(w.texts[0], "m_pBuffer overflow in line 1 (line length over 2048 chars)");
        EXPECT_EQ(w.captions[0], "Warning !");
    }
    {
        RecordingWarning w;
        EXPECT_EQ(ReadFile("x\n" + l3000 + "\n", 2048, &w),
                  (Lines{{1, "x"}, {2, l3000.substr(0, 2047)}, {3, l3000.substr(2047)}}));
        ASSERT_EQ(w.texts.size(), 1u);
        EXPECT_EQ(w.texts[0], "m_pBuffer overflow in line 2 (line length over 2048 chars)");
    }
    {
        RecordingWarning w;
        EXPECT_EQ(ReadFile("x\n" + l2047, 2048, &w), (Lines{{1, "x"}, {2, l2047}}));
        EXPECT_TRUE(w.texts.empty());
    }
    {
        // Only the first over-long line of an opening is reported; the later ones come
        // cut and counted without a word. Rewinding is no new opening; opening is.
        TempFile file("x\n" + l3000 + "\n" + l2047 + "\n" + l3000 + "\n");
        CLineReader reader(2048);
        RecordingWarning w;
        reader.SetWarningSink(&w);
        ASSERT_TRUE(reader.Open(file.Path()));
        Lines got;
        std::string line;
        while (int n = reader.ReadLine(line))
            got.emplace_back(n, line);
        EXPECT_EQ(got, (Lines{{1, "x"}, {2, l3000.substr(0, 2047)}, {3, l3000.substr(2047)}, {4, l2047},
                              {5, l3000.substr(0, 2047)}, {6, l3000.substr(2047)}}));
        ASSERT_EQ(w.texts.size(), 1u);
        EXPECT_EQ(w.texts[0], "m_pBuffer overflow in line 2 (line length over 2048 chars)");
        reader.Rewind();
        while (reader.ReadLine(line)) {
        }
        EXPECT_EQ(w.texts.size(), 1u);
        reader.Close();
        ASSERT_TRUE(reader.Open(file.Path()));
        while (reader.ReadLine(line)) {
        }
        EXPECT_EQ(w.texts.size(), 2u);
    }
}

TEST(LineReader, FillLineWithOtherDestinationSizes)
{
    TempFile file("hello\nworld-wide\n");
    CLineReader reader(4);
    RecordingWarning w;
    reader.SetWarningSink(&w);
    ASSERT_TRUE(reader.Open(file.Path()));
    char dest[16];
    // A destination larger than the chunk holds a line that crosses chunks.
    EXPECT_EQ(reader.FillLine(dest, 16), 1);
    EXPECT_STREQ(dest, "hello");
    EXPECT_EQ(reader.FillLine(dest, 6), 2);
    EXPECT_STREQ(dest, "world");
    EXPECT_EQ(w.texts.back(), "m_pBuffer overflow in line 2 (line length over 6 chars)");
    // Too small to hold any line: nothing is consumed.
    EXPECT_EQ(reader.FillLine(dest, 1), 0);
    EXPECT_STREQ(dest, "");
    EXPECT_EQ(reader.FillLine(dest, 16), 3);
    EXPECT_STREQ(dest, "-wide");
    EXPECT_EQ(reader.FillLine(dest, 16), 0);
}

TEST(LineReader, RewindCloseAndEndOfFile)
{
    TempFile file("\r\n\r\nfirst\nsecond\n");
    CLineReader reader(2048);
    std::string line = "stale";
    EXPECT_EQ(reader.ReadLine(line), 0) << "no file open";
    EXPECT_EQ(line, "");
    EXPECT_FALSE(reader.Open(TempPath("missing")));

    ASSERT_TRUE(reader.Open(file.Path()));
    const Lines all = ReadAll(reader);
    EXPECT_EQ(all, (Lines{{3, "first"}, {4, "second"}}));
    // The end of the file stays the end until Rewind.
    EXPECT_EQ(reader.ReadLine(line), 0);
    reader.Rewind();
    EXPECT_EQ(reader.ReadLine(line), 3);
    EXPECT_EQ(line, "first");
    reader.Rewind();
    EXPECT_EQ(ReadAll(reader), all);

    reader.Close();
    EXPECT_EQ(reader.ReadLine(line), 0);
    ASSERT_TRUE(reader.Open(file.Path()));
    EXPECT_EQ(ReadAll(reader), all);
}

TEST(LineReader, OpeningWithoutClosingStartsTheNewFileAfresh)
{
    TempFile a("aaaa\nbbbb\n", "a"), b("cccc\n", "b");
    CLineReader reader(2048);
    ASSERT_TRUE(reader.Open(a.Path()));
    std::string line;
    EXPECT_EQ(reader.ReadLine(line), 1);
    ASSERT_TRUE(reader.Open(b.Path()));
    EXPECT_EQ(ReadAll(reader), (Lines{{1, "cccc"}}));
}

TEST(LineReader, LineEndsAtItsFirstZeroByte)
{
    EXPECT_EQ(ReadFile(std::string("ab\0cd\nef", 8), 2048), (Lines{{1, "ab"}, {2, "ef"}}));
}

TEST(LineReader, WarningThatReentersTheReaderKeepsBothLines)
{
    // A modal warning box runs a message loop; a feed step that gets in meanwhile must
    // not overwrite the line being delivered.
    struct Reentering : ILineReaderWarning {
        CLineReader* reader = nullptr;
        std::string inner;
        int innerResult = -1;
        void Warn(const std::string&, const std::string&) override
        {
            if (innerResult == -1)
                innerResult = reader->ReadLine(inner);
        }
    };
    const std::string longLine(10, 'L');
    TempFile file(longLine + "\nafter\n");
    CLineReader reader(8);
    Reentering sink;
    sink.reader = &reader;
    reader.SetWarningSink(&sink);
    ASSERT_TRUE(reader.Open(file.Path()));
    std::string outer;
    EXPECT_EQ(reader.ReadLine(outer), 1);
    EXPECT_EQ(outer, longLine.substr(0, 7));
    EXPECT_EQ(sink.innerResult, 2);
    EXPECT_EQ(sink.inner, longLine.substr(7));
    EXPECT_EQ(ReadAll(reader), (Lines{{3, "after"}}));
}

TEST(LineReader, SkipLinesMatchesReading)
{
    TempFile file("a\n\nb\r\n\r\nc\nd\n");
    CLineReader reader(4);
    ASSERT_TRUE(reader.Open(file.Path()));
    EXPECT_EQ(reader.SkipLines(2), 2);
    std::string line;
    EXPECT_EQ(reader.ReadLine(line), 4);
    EXPECT_EQ(line, "c");
    // Past the end: stops there, and the reader stays at the end.
    EXPECT_EQ(reader.SkipLines(10), 1);
    EXPECT_EQ(reader.ReadLine(line), 0);
    reader.Rewind();
    EXPECT_EQ(reader.SkipLines(0), 0);
    EXPECT_EQ(reader.ReadLine(line), 1);
}

TEST(LineReader, MarkSurvivesReopeningAndIsCheckedBeforeUse)
{
    std::string bytes;
    for (int i = 1; i <= 500; ++i)
        bytes += "word" + std::to_string(i) + "/ph/meaning\r\n" + (i % 7 == 0 ? "\r\n" : "");
    TempFile file(bytes);
    CLineReader reader(64);
    ASSERT_TRUE(reader.Open(file.Path()));
    EXPECT_FALSE(reader.RestoreMark(LineReaderMark())) << "an empty mark";
    reader.SkipLines(300);
    const LineReaderMark mark = reader.GetMark();
    ASSERT_TRUE(mark.IsValid());
    const Lines rest = ReadAll(reader);
    ASSERT_EQ(rest.front().second, "word301/ph/meaning");

    // Closed and opened again, as the main bar does on every resize.
    reader.Close();
    EXPECT_FALSE(reader.RestoreMark(mark)) << "no file open";
    ASSERT_TRUE(reader.Open(file.Path()));
    ASSERT_TRUE(reader.RestoreMark(mark));
    EXPECT_EQ(ReadAll(reader), rest);

    // Another buffer size chunks the file differently.
    CLineReader other(128);
    ASSERT_TRUE(other.Open(file.Path()));
    EXPECT_FALSE(other.RestoreMark(mark));

    // The file changed size since: the mark no longer says where line 300 is.
    reader.Close();
    file.Write(bytes + "more\n");
    ASSERT_TRUE(reader.Open(file.Path()));
    EXPECT_FALSE(reader.RestoreMark(mark));
    std::string line;
    EXPECT_EQ(reader.ReadLine(line), 1) << "a refused mark leaves the state alone";
    EXPECT_EQ(line, "word1/ph/meaning");
}

// ---------------------------------------------------------------------------
// Randomised agreement with a plain, byte-at-a-time reference reader working on the
// bytes in memory.

namespace {

class ReferenceReader {
public:
    ReferenceReader(std::string bytes, int bufferSize)
        : m_bytes(std::move(bytes)), m_size(bufferSize), m_chunk(static_cast<size_t>(bufferSize))
    {
    }

    // Returns the result; line gets the delivered bytes, warned whether it overflowed.
    int Fill(int destSize, std::string& line, bool& warned)
    {
        line.clear();
        warned = false;
        bool last = false;
        for (;;) {
            if (m_counter == 0 || m_index == m_count) {
                m_count = 0;
                while (m_count < m_size && m_pos < m_bytes.size())
                    m_chunk[static_cast<size_t>(m_count++)] = m_bytes[m_pos++];
                m_index = 0;
                if (m_count == 0) {
                    if (!line.empty())
                        return ++m_counter;
                    return m_counter = 0;
                }
                if (m_count < m_size)
                    last = true;
            }
            while (m_index < m_count) {
                const char b = m_chunk[static_cast<size_t>(m_index)];
                if (static_cast<int>(line.size()) + 1 == destSize) {
                    warned = true;
                    return ++m_counter;
                }
                if (b != '\r' && b != '\n') {
                    line += b;
                    ++m_index;
                    continue;
                }
                if (m_index + 1 < m_count) {
                    const char next = m_chunk[static_cast<size_t>(m_index + 1)];
                    if (next == '\r' || next == '\n') {
                        if (line.empty())
                            ++m_counter;
                        ++m_index;
                    }
                }
                if (!line.empty())
                    return ++m_counter;
                ++m_index;
            }
            if (last) {
                if (!line.empty())
                    return ++m_counter;
                return m_counter = 0;
            }
        }
    }

    void Rewind()
    {
        m_index = 0;
        m_counter = 0;
        m_pos = 0;
    }

private:
    std::string m_bytes;
    int m_size;
    std::vector<char> m_chunk;
    size_t m_pos = 0;
    int m_count = 0;
    int m_index = 0;
    int m_counter = 0;
};

std::string RandomBytes(std::mt19937& rng, int bufferSize)
{
    std::uniform_int_distribution<int> length(0, 6 * bufferSize + 200);
    std::uniform_int_distribution<int> pick(0, 99);
    const int n = length(rng);
    std::string s;
    while (static_cast<int>(s.size()) < n) {
        const int p = pick(rng);
        if (p < 12) {
            // A run of terminators, to exercise pairs and blank lines.
            const int run = 1 + pick(rng) % 5;
            for (int k = 0; k < run; ++k)
                s += (pick(rng) & 1) ? '\r' : '\n';
        } else if (p < 17) {
            s += '/';
        } else if (p < 19) {
            s += '\0';
        } else if (p < 21) {
            // A line longer than the buffer.
            s.append(static_cast<size_t>(bufferSize + pick(rng) * bufferSize / 40), 'L');
        } else if (p < 35) {
            s += static_cast<char>(0x81 + pick(rng)); // double-byte text
            s += static_cast<char>(0x40 + pick(rng));
        } else {
            s += static_cast<char>('a' + p % 26);
        }
    }
    return s;
}

struct Step {
    int result;
    std::string line; // bytes up to the first zero, as ReadLine gives them
    bool warned;
};

std::string UpToZero(const std::string& s) { return s.substr(0, s.find('\0')); }

} // namespace

TEST(LineReader, RandomStreamsAgreeWithReference)
{
    std::mt19937 rng(20240611);
    for (int round = 0; round < 400; ++round) {
        const int bufferSize = (round % 10 == 0) ? 2048 : std::uniform_int_distribution<int>(2, 70)(rng);
        const std::string bytes = RandomBytes(rng, bufferSize);
        SCOPED_TRACE("round " + std::to_string(round) + ", buffer " + std::to_string(bufferSize) + ", " +
                     std::to_string(bytes.size()) + " bytes");
        // A read-ahead block that is not a multiple of the chunk size makes chunks
        // straddle block boundaries.
        const int readAhead = (round % 10 == 0) ? CLineReader::kDefaultReadAhead
                                                : std::uniform_int_distribution<int>(1, 3 * bufferSize + 17)(rng);
        TempFile file(bytes);
        CLineReader reader(bufferSize, readAhead);
        SCOPED_TRACE("read-ahead " + std::to_string(readAhead));
        RecordingWarning w;
        reader.SetWarningSink(&w);
        ASSERT_TRUE(reader.Open(file.Path()));
        ReferenceReader ref(bytes, bufferSize);
        bool openingWarned = false;

        // Mostly ReadLine; now and then FillLine with another destination size, a
        // mark, or a rewind.
        std::vector<std::pair<LineReaderMark, size_t>> marks; // mark, index into steps
        std::vector<Step> steps;
        std::vector<char> dest(static_cast<size_t>(4 * bufferSize + 8));
        std::uniform_int_distribution<int> pick(0, 99);
        int zeros = 0;
        while (zeros < 2 && steps.size() < 5000) {
            const int p = pick(rng);
            if (p < 8)
                marks.emplace_back(reader.GetMark(), steps.size());
            if (p == 99 && round % 3 == 0) {
                reader.Rewind();
                ref.Rewind();
                marks.clear();
                steps.clear();
            }
            std::string expected;
            bool warned = false; // the line is over-long
            const size_t warningsBefore = w.texts.size();
            if (p >= 8 && p < 14) {
                const int destSize = std::uniform_int_distribution<int>(2, 4 * bufferSize)(rng);
                const int expect = ref.Fill(destSize, expected, warned);
                const int got = reader.FillLine(dest.data(), destSize);
                ASSERT_EQ(got, expect);
                ASSERT_EQ(std::string(dest.data()), UpToZero(expected));
                // Marks are for ReadLine's destination size only.
                marks.clear();
                steps.clear();
            } else {
                const int expect = ref.Fill(bufferSize, expected, warned);
                std::string line = "x";
                const int got = reader.ReadLine(line);
                ASSERT_EQ(got, expect);
                ASSERT_EQ(line, UpToZero(expected));
                steps.push_back({got, line, warned});
            }
            // Only the first over-long line of the opening is reported.
            ASSERT_EQ(w.texts.size() - warningsBefore, (warned && !openingWarned) ? 1u : 0u);
            openingWarned = openingWarned || warned;
            zeros = (steps.empty() || steps.back().result != 0) ? 0 : zeros + 1;
        }

        // Going back to any mark, on the open file or on the file opened afresh by a
        // reader with another read-ahead, gives the same lines, counters and warnings
        // as reading on did.
        for (size_t m = 0; m < marks.size(); m += 1 + marks.size() / 4) {
            CLineReader fresh(bufferSize);
            fresh.SetWarningSink(&w);
            CLineReader& again = (m % 2) ? fresh : reader;
            if (m % 2) {
                ASSERT_TRUE(fresh.Open(file.Path()));
            }
            ASSERT_TRUE(again.RestoreMark(marks[m].first));
            bool replayWarned = again.HasWarnedOverflow();
            for (size_t s = marks[m].second; s < steps.size(); ++s) {
                const size_t warningsBefore = w.texts.size();
                std::string line;
                ASSERT_EQ(again.ReadLine(line), steps[s].result) << "step " << s << " after mark " << m;
                ASSERT_EQ(line, steps[s].line);
                ASSERT_EQ(w.texts.size() - warningsBefore, (steps[s].warned && !replayWarned) ? 1u : 0u);
                replayWarned = replayWarned || steps[s].warned;
            }
        }
    }
}
