#include "dialogs/tips_file.h"

#include "settings/settings.h"

#include <climits>
#include <ctime>

namespace lex {

namespace {
constexpr size_t kBufferSize = 4096;

bool IsSkippedLead(char c)
{
    // Blank, tab, an empty line, a comment; a bare CR or a zero byte leads no text either.
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ';' || c == '\0';
}
} // namespace

CTipsFile::CTipsFile() : m_buf(kBufferSize) {}

CTipsFile::OpenResult CTipsFile::Open(const std::string& path, CSettings& settings)
{
    Close();
    int64_t pos = settings.TipFilePos();
    if (!m_file.Open(path))
        return OpenResult::kMissing;
    std::string stamp = StampText(m_file.LastWriteTime());
    if (stamp != settings.TipTimeStamp()) {
        settings.SetTipTimeStamp(stamp);
        pos = 0;
    }
    return PlaceAt(pos) ? OpenResult::kReady : OpenResult::kSeekFailed;
}

void CTipsFile::Close()
{
    m_file.Close();
    m_bufStart = 0;
    m_bufLen = m_bufPos = 0;
}

bool CTipsFile::SeekTo(int64_t offset)
{
    m_bufLen = m_bufPos = 0;
    if (!m_file.Seek(offset)) {
        // The file stays wherever it was; keep our count in step with it.
        int64_t at = m_file.Tell();
        m_bufStart = at >= 0 ? at : 0;
        return false;
    }
    m_bufStart = offset;
    return true;
}

bool CTipsFile::PlaceAt(int64_t offset)
{
    if (!SeekTo(0))
        return false;
    // Walking the pieces from the start finds the boundary a stored offset should lie
    // on; the first one at or after it is where the next tip is searched.
    std::string piece;
    while (Position() < offset && ReadPiece(piece)) {
    }
    return true;
}

bool CTipsFile::Fill()
{
    m_bufStart += static_cast<int64_t>(m_bufLen);
    m_bufPos = 0;
    m_bufLen = m_file.Read(m_buf.data(), m_buf.size());
    return m_bufLen > 0;
}

int CTipsFile::NextByte()
{
    if (m_bufPos == m_bufLen && !Fill())
        return -1;
    return static_cast<unsigned char>(m_buf[m_bufPos++]);
}

int CTipsFile::PeekByte()
{
    if (m_bufPos == m_bufLen && !Fill())
        return -1;
    return static_cast<unsigned char>(m_buf[m_bufPos]);
}

bool CTipsFile::ReadPiece(std::string& out)
{
    out.clear();
    if (!m_file.IsOpen())
        return false;
    while (out.size() < kReadChars) {
        int c = NextByte();
        if (c < 0)
            break;
        if (c == '\r' && PeekByte() == '\n') {
            NextByte();
            c = '\n';
        }
        out.push_back(static_cast<char>(c));
        if (c == '\n')
            break;
    }
    return !out.empty();
}

TipSearch CTipsFile::ReadNextTip(std::string& tip)
{
    TipSearch result;
    tip.clear();
    if (!m_file.IsOpen())
        return result;
    bool wrapped = false;
    std::string piece;
    for (;;) {
        if (!ReadPiece(piece)) {
            // The end of the file. Once we have read on from the start to the end
            // without finding a tip there is none to find.
            if (wrapped)
                return result;
            wrapped = true;
            if (!SeekTo(0))
                result.rewindFailed = true;
            continue;
        }
        if (IsSkippedLead(piece[0]))
            continue;
        size_t zero = piece.find('\0');
        if (zero != std::string::npos)
            piece.erase(zero);
        tip = piece;
        result.found = true;
        return result;
    }
}

bool CTipsFile::SavePosition(CSettings& settings) const
{
    if (!m_file.IsOpen())
        return false;
    int64_t pos = Position();
    return settings.SetTipFilePos(pos > INT_MAX ? INT_MAX : static_cast<int>(pos));
}

std::string CTipsFile::StampText(int64_t unixSeconds)
{
    if (unixSeconds < 0)
        return std::string();
    std::time_t t = static_cast<std::time_t>(unixSeconds);
    const char* text = std::ctime(&t);
    if (!text)
        return std::string();
    std::string stamp = text;
    while (!stamp.empty() && (stamp.back() == '\n' || stamp.back() == '\r' || stamp.back() == ' ' ||
                              stamp.back() == '\t'))
        stamp.pop_back();
    return stamp;
}

} // namespace lex
