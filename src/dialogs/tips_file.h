// The tips of the day file: one tip per line, read in pieces of at most 999
// characters the way a text-mode stream hands them out (CR LF arrives as one line
// feed), with blank-led, tab-led, empty and ";" comment lines skipped and the file read
// again from its start after its last line.
//
// The file is read in binary and the offsets are counted here, so a position saved in
// one run finds the same tip in the next whatever the line ends (CR LF, LF only or
// mixed). A stored position is trusted only as far as it is sound: a negative one
// means the start, one past the end means the end (the next search wraps round), and
// one inside a line moves on to where the next piece of text begins, so no tip is
// ever shown torn.
#pragma once

#include "base/fileio.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lex {

class CSettings;

// How a search for the next tip ended.
struct TipSearch {
    bool found = false;        // a tip was read
    bool rewindFailed = false; // going back to the start of the file failed
};

class CTipsFile {
public:
    // The longest piece of a line one read hands out (a 1000-byte buffer with its zero).
    static constexpr size_t kReadChars = 999;

    enum class OpenResult {
        kMissing,    // the file could not be opened
        kSeekFailed, // opened, but the stored position could not be reached
        kReady,      // opened and placed at the next tip to show
    };

    CTipsFile();

    // Opens the tips file and places it where the last showing stopped ("FilePos").
    // A file whose last-write time no longer matches "TimeStamp" was changed since
    // then: the new stamp is written at once and reading starts at the first tip.
    OpenResult Open(const std::string& path, CSettings& settings);
    bool IsOpen() const { return m_file.IsOpen(); }
    void Close();

    // The next tip, line end included (as "\n"). Wraps round at the end of the file;
    // after one complete pass from the start without a tip it gives up and leaves tip
    // empty, so a file without tips never holds the caller up.
    TipSearch ReadNextTip(std::string& tip);

    // The byte offset just after what has been read: where the next search begins.
    int64_t Position() const { return m_bufStart + static_cast<int64_t>(m_bufPos); }
    // Writes Position() to "FilePos". False if no file is open or the write failed.
    bool SavePosition(CSettings& settings) const;

    // A last-write time as the runtime's ctime text ("Wed Jan  2 02:03:55 1980"), in
    // local time, without the trailing line feed; empty for -1 or an unusable time.
    static std::string StampText(int64_t unixSeconds);

private:
    bool SeekTo(int64_t offset);
    // Moves to the first piece boundary at or after offset.
    bool PlaceAt(int64_t offset);
    // One text-mode read: up to kReadChars characters, ending after a line feed. False
    // (out empty) at the end of the file.
    bool ReadPiece(std::string& out);
    int NextByte();
    int PeekByte();
    bool Fill();

    ReadFile m_file;
    std::vector<char> m_buf;
    size_t m_bufLen = 0;
    size_t m_bufPos = 0;
    int64_t m_bufStart = 0; // file offset of m_buf[0]
};

} // namespace lex
