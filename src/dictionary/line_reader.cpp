#include "dictionary/line_reader.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

namespace {

inline bool IsTerminator(char b) { return b == '\r' || b == '\n'; }

// Number of bytes before the first CR or LF in p[0..n), or n. Dictionary lines are
// short and plentiful, so eight bytes are tested at a time: a word holds CR or LF
// exactly when (w ^ CR...) or (w ^ LF...) has a zero byte.
int PlainRun(const char* p, int n)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    constexpr uint64_t kCr = kOnes * '\r';
    constexpr uint64_t kLf = kOnes * '\n';
    int k = 0;
    while (k + 8 <= n) {
        uint64_t w;
        std::memcpy(&w, p + k, sizeof w);
        const uint64_t a = w ^ kCr;
        const uint64_t b = w ^ kLf;
        if ((((a - kOnes) & ~a) | ((b - kOnes) & ~b)) & kHighs)
            break;
        k += 8;
    }
    while (k < n && !IsTerminator(p[k]))
        ++k;
    return k;
}

} // namespace

CLineReader::CLineReader(int bufferSize)
    : m_bufferSize(std::max(bufferSize, 2)),
      m_pBuffer(new char[static_cast<size_t>(m_bufferSize)]),
      m_line(static_cast<size_t>(m_bufferSize))
{
}

CLineReader::~CLineReader()
{
    m_file.Close();
    delete[] m_pBuffer;
}

bool CLineReader::Open(const char* path)
{
    // The reading state always starts afresh, so a reader that was not closed first
    // can never hand out bytes left in the chunk from the previous file.
    m_bytesInChunk = 0;
    m_indexInChunk = 0;
    m_lineCounter = 0;
    m_nextReadOffset = 0;
    if (!path)
        return false;
    if (!m_file.Open(path))
        return false;
    m_fileSize = m_file.Size();
    return true;
}

void CLineReader::Close()
{
    m_file.Close();
    m_indexInChunk = 0;
    m_lineCounter = 0;
    m_nextReadOffset = 0;
}

void CLineReader::Rewind()
{
    m_indexInChunk = 0;
    m_lineCounter = 0;
    m_nextReadOffset = 0;
    m_file.Seek(0);
}

bool CLineReader::Refill()
{
    const size_t got = m_file.Read(m_pBuffer, static_cast<size_t>(m_bufferSize));
    m_bytesInChunk = static_cast<int>(got);
    m_indexInChunk = 0;
    m_nextReadOffset += static_cast<int64_t>(got);
    return got > 0;
}

void CLineReader::CountLine()
{
    // A multi-gigabyte file of blank lines must not overflow the counter.
    if (m_lineCounter < INT_MAX)
        ++m_lineCounter;
}

void CLineReader::WarnOverflow(int destSize)
{
    if (!m_warning)
        return;
    char text[96];
    std::snprintf(text, sizeof text, "m_pBuffer overflow in line %u (line length over %d chars)",
                  static_cast<unsigned>(m_lineCounter), destSize);
    m_warning->Warn(text, "Warning !");
}

int CLineReader::FillLine(char* dest, int destSize)
{
    int length;
    return Fill(dest, destSize, length);
}

int CLineReader::Fill(char* dest, int destSize, int& length)
{
    length = 0;
    if (!dest || destSize < 1)
        return 0;
    dest[0] = 0;
    if (destSize < 2)
        return 0;

    int taken = 0;
    bool lastChunk = false;
    for (;;) {
        // A zero line counter means nothing has been read since open, rewind or the
        // end of the file: the chunk in the buffer is not ours any more.
        if (m_lineCounter == 0 || m_indexInChunk == m_bytesInChunk) {
            if (!Refill()) {
                if (taken > 0)
                    break;
                m_lineCounter = 0;
                return 0;
            }
            if (m_bytesInChunk < m_bufferSize)
                lastChunk = true;
        }

        while (m_indexInChunk < m_bytesInChunk) {
            const int room = destSize - 1 - taken;
            const int avail = m_bytesInChunk - m_indexInChunk;
            const int run = PlainRun(m_pBuffer + m_indexInChunk, std::min(room, avail));
            std::memcpy(dest + taken, m_pBuffer + m_indexInChunk, static_cast<size_t>(run));
            taken += run;
            m_indexInChunk += run;
            if (m_indexInChunk == m_bytesInChunk)
                break;

            if (taken + 1 == destSize) {
                // Full before the next byte was looked at: hand out what fits; that byte
                // starts the next call, so the rest of the line follows as lines of its own.
                dest[taken] = 0;
                length = taken;
                CountLine();
                // The state is complete before the warning, which may block in a modal box.
                const int result = m_lineCounter;
                WarnOverflow(destSize);
                return result;
            }

            // A terminator. Its partner, if it is in this chunk, belongs to it; a pair
            // met before any text stands for a blank line, which is counted.
            if (m_indexInChunk + 1 < m_bytesInChunk && IsTerminator(m_pBuffer[m_indexInChunk + 1])) {
                if (taken == 0)
                    CountLine();
                ++m_indexInChunk;
            }
            if (taken > 0) {
                // The index stays on the last terminator byte; the next call skips it.
                dest[taken] = 0;
                length = taken;
                CountLine();
                return m_lineCounter;
            }
            ++m_indexInChunk;
        }

        if (lastChunk) {
            if (taken > 0)
                break;
            m_lineCounter = 0;
            return 0;
        }
    }

    dest[taken] = 0;
    length = taken;
    CountLine();
    return m_lineCounter;
}

namespace {

// ReadLine's destination. The member buffer is reused; a call made while another is
// still inside its warning gets a buffer of its own, so neither overwrites the other.
class LineScratch {
public:
    LineScratch(std::vector<char>& shared, bool& busy, int size) : m_busy(busy)
    {
        if (busy) {
            m_own.resize(static_cast<size_t>(size));
            m_data = m_own.data();
            m_release = false;
        } else {
            busy = true;
            m_data = shared.data();
            m_release = true;
        }
    }
    ~LineScratch()
    {
        if (m_release)
            m_busy = false;
    }
    LineScratch(const LineScratch&) = delete;
    LineScratch& operator=(const LineScratch&) = delete;
    char* Data() { return m_data; }

private:
    bool& m_busy;
    std::vector<char> m_own;
    char* m_data;
    bool m_release;
};

} // namespace

int CLineReader::ReadLine(std::string& out)
{
    LineScratch scratch(m_line, m_lineBusy, m_bufferSize);
    int length = 0;
    const int result = Fill(scratch.Data(), m_bufferSize, length);
    if (result == 0) {
        out.clear();
        return 0;
    }
    // The line is text: it ends at its first zero byte, as a C string would.
    const void* zero = std::memchr(scratch.Data(), 0, static_cast<size_t>(length));
    const size_t textLength = zero ? static_cast<size_t>(static_cast<const char*>(zero) - scratch.Data())
                                   : static_cast<size_t>(length);
    out.assign(scratch.Data(), textLength);
    return result;
}

int CLineReader::SkipLines(int n)
{
    LineScratch scratch(m_line, m_lineBusy, m_bufferSize);
    int skipped = 0;
    while (skipped < n && FillLine(scratch.Data(), m_bufferSize) != 0)
        ++skipped;
    return skipped;
}

LineReaderMark CLineReader::GetMark() const
{
    LineReaderMark mark;
    if (!m_file.IsOpen())
        return mark;
    mark.nextReadOffset = m_nextReadOffset;
    mark.fileSize = m_fileSize;
    mark.bufferSize = m_bufferSize;
    mark.bytesInChunk = m_bytesInChunk;
    mark.indexInChunk = m_indexInChunk;
    mark.lineCounter = m_lineCounter;
    return mark;
}

bool CLineReader::RestoreMark(const LineReaderMark& mark)
{
    if (!m_file.IsOpen() || !mark.IsValid() || mark.bufferSize != m_bufferSize)
        return false;
    if (mark.bytesInChunk < 0 || mark.bytesInChunk > m_bufferSize || mark.indexInChunk < 0 ||
        mark.indexInChunk > mark.bytesInChunk || mark.lineCounter < 0)
        return false;
    const int64_t size = m_file.Size();
    if (size != mark.fileSize || mark.nextReadOffset > size || mark.nextReadOffset < mark.bytesInChunk)
        return false;

    // With a zero counter or a used-up chunk the next call reads a fresh chunk anyway;
    // otherwise the chunk is read back from where it came.
    const bool chunkInUse = mark.lineCounter != 0 && mark.indexInChunk < mark.bytesInChunk;
    if (chunkInUse) {
        std::vector<char> chunk(static_cast<size_t>(mark.bytesInChunk));
        size_t got = 0;
        bool ok = m_file.Seek(mark.nextReadOffset - mark.bytesInChunk);
        while (ok && got < chunk.size()) {
            const size_t n = m_file.Read(chunk.data() + got, chunk.size() - got);
            if (n == 0)
                ok = false;
            got += n;
        }
        if (!ok) {
            m_file.Seek(m_nextReadOffset);
            return false;
        }
        std::memcpy(m_pBuffer, chunk.data(), chunk.size());
    } else if (!m_file.Seek(mark.nextReadOffset)) {
        m_file.Seek(m_nextReadOffset);
        return false;
    }
    m_nextReadOffset = mark.nextReadOffset;
    m_bytesInChunk = mark.bytesInChunk;
    m_indexInChunk = mark.indexInChunk;
    m_lineCounter = mark.lineCounter;
    return true;
}
