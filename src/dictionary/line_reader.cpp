#include "dictionary/line_reader.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

inline bool IsTerminator(char b) { return b == '\r' || b == '\n'; }
inline bool IsStop(char b) { return b == '\r' || b == '\n' || b == '\0'; }

// Number of bytes before the first CR, LF or zero byte in p[0..n), or n. Dictionary
// lines are short and plentiful, so sixteen bytes are compared at a time where the
// processor has SSE2, and otherwise eight as one word: a word holds
// byte c exactly when w ^ (c repeated) has a zero byte, and on a little-endian machine
// the lowest flagged byte is the first such byte (the borrow that can flag a byte
// wrongly only runs towards higher bytes).
int PlainRun(const char* p, int n)
{
    constexpr uint64_t kOnes = 0x0101010101010101ull;
    constexpr uint64_t kHighs = 0x8080808080808080ull;
    constexpr uint64_t kCr = kOnes * '\r';
    constexpr uint64_t kLf = kOnes * '\n';
    int k = 0;
#if defined(__SSE2__) && defined(__GNUC__)
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (k + 16 <= n) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
        const __m128i hit =
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, cr), _mm_cmpeq_epi8(v, lf)), _mm_cmpeq_epi8(v, zero));
        const int mask = _mm_movemask_epi8(hit);
        if (mask)
            return k + __builtin_ctz(static_cast<unsigned>(mask));
        k += 16;
    }
#endif
    while (k + 8 <= n) {
        uint64_t w;
        std::memcpy(&w, p + k, sizeof w);
        const uint64_t a = w ^ kCr;
        const uint64_t b = w ^ kLf;
        const uint64_t hits = (((a - kOnes) & ~a) | ((b - kOnes) & ~b) | ((w - kOnes) & ~w)) & kHighs;
        if (hits) {
#if defined(__GNUC__) && defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
            return k + __builtin_ctzll(hits) / 8;
#else
            break;
#endif
        }
        k += 8;
    }
    while (k < n && !IsStop(p[k]))
        ++k;
    return k;
}

} // namespace

CLineReader::CLineReader(int bufferSize, int readAheadBytes)
    : m_bufferSize(std::max(bufferSize, 2)),
      m_readAhead(static_cast<size_t>(std::max(readAheadBytes, m_bufferSize))),
      m_pBuffer(m_readAhead.data()),
      m_line(static_cast<size_t>(m_bufferSize))
{
}

CLineReader::~CLineReader() { m_file.Close(); }

void CLineReader::ResetReading(int64_t offset)
{
    m_pBuffer = m_readAhead.data();
    m_bytesInChunk = 0;
    m_indexInChunk = 0;
    m_lineCounter = 0;
    m_aheadOffset = offset;
    m_aheadLen = 0;
    m_aheadPos = 0;
}

bool CLineReader::Open(const char* path)
{
    // The reading state always starts afresh, so a reader that was not closed first
    // can never hand out bytes left in the chunk from the previous file.
    ResetReading(0);
    m_warnedOverflow = false;
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
    ResetReading(0);
}

void CLineReader::Rewind()
{
    ResetReading(0);
    m_file.Seek(0);
}

bool CLineReader::Refill()
{
    // Chunks of the buffer size are cut from a larger read-ahead block, which keeps
    // the number of system calls low. A chunk is short only at the end of the file:
    // a short read is retried before a chunk is cut.
    const int avail = m_aheadLen - m_aheadPos;
    if (avail < m_bufferSize) {
        char* block = m_readAhead.data();
        std::memmove(block, block + m_aheadPos, static_cast<size_t>(avail));
        m_aheadOffset += m_aheadPos;
        m_aheadPos = 0;
        m_aheadLen = avail;
        const int capacity = static_cast<int>(m_readAhead.size());
        while (m_aheadLen < m_bufferSize) {
            const size_t got = m_file.Read(block + m_aheadLen, static_cast<size_t>(capacity - m_aheadLen));
            if (got == 0)
                break;
            m_aheadLen += static_cast<int>(got);
        }
    }
    m_pBuffer = m_readAhead.data() + m_aheadPos;
    m_bytesInChunk = std::min(m_bufferSize, m_aheadLen - m_aheadPos);
    m_indexInChunk = 0;
    m_aheadPos += m_bytesInChunk;
    return m_bytesInChunk > 0;
}

void CLineReader::CountLine()
{
    // A multi-gigabyte file of blank lines must not overflow the counter.
    if (m_lineCounter < INT_MAX)
        ++m_lineCounter;
}

void CLineReader::WarnOverflow(int destSize)
{
    if (!m_warning || m_warnedOverflow)
        return;
    m_warnedOverflow = true;
    char text[96];
    std::snprintf(text, sizeof text, "m_pBuffer overflow in line %u (line length over %d chars)",
                  static_cast<unsigned>(m_lineCounter), destSize);
    m_warning->Warn(text, "Warning !");
}

int CLineReader::FillLine(char* dest, int destSize)
{
    int textLength;
    return Fill(dest, destSize, textLength);
}

int CLineReader::Fill(char* dest, int destSize, int& textLength)
{
    textLength = 0;
    if (!dest || destSize < 1)
        return 0;
    dest[0] = 0;
    if (destSize < 2)
        return 0;

    int taken = 0;
    int firstZero = -1; // the line as text ends at its first zero byte
    const auto finish = [&] {
        dest[taken] = 0;
        textLength = firstZero < 0 ? taken : firstZero;
        CountLine();
        return m_lineCounter;
    };
    bool lastChunk = false;
    for (;;) {
        // A zero line counter means nothing has been read since open, rewind or the
        // end of the file: the chunk in the buffer is not ours any more.
        if (m_lineCounter == 0 || m_indexInChunk == m_bytesInChunk) {
            if (!Refill()) {
                if (taken > 0)
                    return finish();
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
                // The state is complete before the warning, which may block in a modal box.
                const int result = finish();
                WarnOverflow(destSize);
                return result;
            }

            if (m_pBuffer[m_indexInChunk] == '\0') {
                // Not a terminator: kept in dest like any other byte.
                if (firstZero < 0)
                    firstZero = taken;
                dest[taken++] = '\0';
                ++m_indexInChunk;
                continue;
            }

            // A terminator. Its partner, if it is in this chunk, belongs to it; a pair
            // met before any text stands for a blank line, which is counted.
            if (m_indexInChunk + 1 < m_bytesInChunk && IsTerminator(m_pBuffer[m_indexInChunk + 1])) {
                if (taken == 0)
                    CountLine();
                ++m_indexInChunk;
            }
            // With text taken, the index stays on the last terminator byte; the next
            // call skips it.
            if (taken > 0)
                return finish();
            ++m_indexInChunk;
        }

        if (lastChunk) {
            if (taken > 0)
                return finish();
            m_lineCounter = 0;
            return 0;
        }
    }
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
    int textLength = 0;
    const int result = Fill(scratch.Data(), m_bufferSize, textLength);
    if (result == 0) {
        out.clear();
        return 0;
    }
    out.assign(scratch.Data(), static_cast<size_t>(textLength));
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
    mark.nextReadOffset = m_aheadOffset + m_aheadPos;
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

    // With a zero counter or a used-up chunk the next call cuts a fresh chunk anyway;
    // otherwise the chunk is read back from where it came.
    const bool chunkInUse = mark.lineCounter != 0 && mark.indexInChunk < mark.bytesInChunk;
    const int64_t chunkStart = mark.nextReadOffset - (chunkInUse ? mark.bytesInChunk : 0);
    std::vector<char> chunk(static_cast<size_t>(chunkInUse ? mark.bytesInChunk : 0));
    bool ok = m_file.Seek(chunkStart);
    size_t got = 0;
    while (ok && got < chunk.size()) {
        const size_t n = m_file.Read(chunk.data() + got, chunk.size() - got);
        ok = n > 0;
        got += n;
    }
    if (!ok) {
        // Put the file back where the read-ahead block ends; the state is untouched.
        m_file.Seek(m_aheadOffset + m_aheadLen);
        return false;
    }

    ResetReading(chunkStart);
    if (!chunk.empty())
        std::memcpy(m_readAhead.data(), chunk.data(), chunk.size());
    m_aheadLen = m_aheadPos = static_cast<int>(chunk.size());
    m_bytesInChunk = mark.bytesInChunk;
    m_indexInChunk = mark.indexInChunk;
    m_lineCounter = mark.lineCounter;
    return true;
}
