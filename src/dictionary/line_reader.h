// The buffered line reader through which the word feed reads a dictionary: the file
// is read in chunks of the buffer size and handed out one non-empty line at a time,
// with a line counter that also counts blank lines written as terminator pairs.
#pragma once

#include "base/fileio.h"

#include <cstdint>
#include <string>
#include <vector>

// Receives the over-long-line warning. The Windows side shows a message box (warning
// icon, OK button, no owner); tests record the texts.
class ILineReaderWarning {
public:
    virtual ~ILineReaderWarning() = default;
    virtual void Warn(const std::string& text, const std::string& caption) = 0;
};

// The reader's exact state, so that a dictionary that is closed and opened again (the
// main bar does so on every resize) can continue where it was without re-reading
// everything before that point. Only meaningful for the same, unchanged file and a
// reader with the same buffer size; RestoreMark checks what it cheaply can.
struct LineReaderMark {
    int64_t nextReadOffset = -1; // file offset of the next chunk read; -1: no mark
    int64_t fileSize = -1;       // size of the file when the mark was taken
    int bufferSize = 0;
    int bytesInChunk = 0;
    int indexInChunk = 0;
    int lineCounter = 0;

    bool IsValid() const { return nextReadOffset >= 0; }
};

class CLineReader {
public:
    // bufferSize is both the chunk size and the largest line ReadLine hands out
    // (including its terminating zero). Values below 2 are raised to 2, the least that
    // can deliver a line. Chunks are cut from a read-ahead block of readAheadBytes (at
    // least one chunk), so the file is not asked for every 2 KB; the lines and counters
    // do not depend on it.
    static constexpr int kDefaultReadAhead = 64 * 1024;
    explicit CLineReader(int bufferSize, int readAheadBytes = kDefaultReadAhead);
    ~CLineReader();
    CLineReader(const CLineReader&) = delete;
    CLineReader& operator=(const CLineReader&) = delete;

    // Where over-long-line warnings go; nullptr (the default) drops them. Only the
    // first over-long line of an opening is reported; later ones come back cut and
    // counted as always, without a warning, so a dictionary full of them cannot bury
    // the user in boxes.
    void SetWarningSink(ILineReaderWarning* sink) { m_warning = sink; }
    // Whether this opening has reported its over-long line. Open clears it; a caller
    // that reopens the same file (the main bar on every resize) may carry it over.
    bool HasWarnedOverflow() const { return m_warnedOverflow; }
    void SetWarnedOverflow(bool warned) { m_warnedOverflow = warned; }

    // Opens read-only, binary, sharing read and write with other programs. The reading
    // state starts afresh. False if the file cannot be opened.
    bool Open(const char* path);
    bool Open(const std::string& path) { return Open(path.c_str()); }
    void Close();
    bool IsOpen() const { return m_file.IsOpen(); }
    // Back to the start: the next ReadLine returns the first non-empty line.
    void Rewind();

    // Next non-empty line into out (up to its first zero byte). Returns the line counter
    // after taking the line, or 0 at the end of the file (out emptied). A read error
    // ends the reading like the end of the file.
    int ReadLine(std::string& out);
    // The inner routine: the next non-empty line into dest, always zero-terminated.
    // A line that does not fit into destSize - 1 bytes raises the overflow warning and
    // comes back in pieces. destSize below 2 cannot hold a line: returns 0, reads nothing.
    int FillLine(char* dest, int destSize);

    // ReadLine n times, ignoring the lines (warnings are still raised). Stops at the
    // end of the file. Returns how many lines were actually skipped.
    int SkipLines(int n);

    // The exact reading state, and going back to it on this reader's open file: reading
    // after RestoreMark gives the same lines and counters as reading on from the moment
    // the mark was taken. RestoreMark returns false (state unchanged) if no file is open,
    // the mark is invalid, was taken with another buffer size or for a file of another
    // size, or the file cannot be read back.
    LineReaderMark GetMark() const;
    bool RestoreMark(const LineReaderMark& mark);

private:
    int Fill(char* dest, int destSize, int& textLength);
    bool Refill();
    void ResetReading(int64_t offset);
    void CountLine();
    void WarnOverflow(int destSize);

    int m_bufferSize;
    std::vector<char> m_readAhead;
    char* m_pBuffer; // the current chunk, inside m_readAhead
    int m_bytesInChunk = 0;
    int m_indexInChunk = 0;
    int m_lineCounter = 0;
    int64_t m_aheadOffset = 0; // file offset of m_readAhead[0]
    int m_aheadLen = 0;        // bytes read into m_readAhead
    int m_aheadPos = 0;        // where the next chunk starts in m_readAhead
    bool m_lineBusy = false;      // m_line is in use by a call that has not returned
    int64_t m_fileSize = -1;      // size when the file was opened, kept in marks
    std::vector<char> m_line;     // ReadLine's destination, kept between calls
    ILineReaderWarning* m_warning = nullptr;
    bool m_warnedOverflow = false;
    lex::ReadFile m_file;
};
