#include "banner/banner_scroll.h"

#include <climits>
#include <cstdlib>

CBannerScroll::~CBannerScroll() { Stop(); }

void CBannerScroll::Stop()
{
    m_resting = false;
    if (m_timerId != 0) {
        m_host.BannerCancelTimer(m_timerId);
        m_timerId = 0;
    }
}

void CBannerScroll::Arm()
{
    // Without a window no tick could be delivered; the host sets the speed again once
    // the window exists.
    m_timerId = m_host.BannerWindowExists() ? m_host.BannerArmTimer(m_period) : 0;
}

void CBannerScroll::SetSpeed(int speed)
{
    if (speed < -kMaxSpeed || speed > kMaxSpeed)
        return;
    if (speed == 0) {
        Stop();
        return;
    }
    m_speed = speed;
    m_period = std::abs(10000 / speed) * m_ticksPerStep;
    // The superseded timer is cancelled rather than left to fire: its tick would be
    // dropped anyway, and nothing is left armed that could outlive the control.
    Stop();
    Arm();
}

void CBannerScroll::SetDpi(int dpi)
{
    m_dpi = dpi > 0 ? dpi : 96;
    m_stepRemainder = 0;
}

void CBannerScroll::SetPowerSaving(bool on)
{
    const int ticksPerStep = on ? 2 : 1;
    if (ticksPerStep == m_ticksPerStep)
        return;
    m_ticksPerStep = ticksPerStep;
    if (m_speed != 0)
        m_period = std::abs(10000 / m_speed) * m_ticksPerStep;
    // A timer armed at the old period would bring its tick at the wrong time: re-arm.
    if (m_timerId != 0) {
        m_host.BannerCancelTimer(m_timerId);
        m_timerId = 0;
        Arm();
    }
}

bool CBannerScroll::OnTick(uint32_t id)
{
    if (id == 0 || id != m_timerId)
        return false;
    m_timerId = 0; // this one-shot has fired

    // Nothing to move, or nobody to see it: rest instead of ticking on (a hidden bar
    // costs nothing); Wake takes up the ticks again.
    if (m_host.BannerItemCount() == 0 || !m_host.BannerIsShowing()) {
        m_resting = true;
        return true;
    }
    m_stepRemainder += m_dpi * m_ticksPerStep;
    const int step = m_stepRemainder / 96;
    m_stepRemainder %= 96;
    if (step > 0) {
        const BannerRect rc = m_host.BannerClientRect();
        const int before = m_offset;
        if (m_speed > 0) {
            m_offset -= step;
            // The whole line has left at the left edge: it re-enters from the right.
            if (static_cast<long long>(m_offset) + m_lineWidth < rc.left)
                m_offset = rc.right;
        } else {
            m_offset += step;
            // Left at the right edge: it re-enters from the left, which scrolling alone
            // would not draw.
            if (m_offset > rc.right) {
                m_offset = rc.left - m_lineWidth;
                m_host.BannerInvalidateAll();
            }
        }
        // The items moved with the line: the geometry follows without a paint to measure it.
        for (int& left : m_leftEdges)
            left += m_offset - before;
        m_host.BannerScrollContents(m_speed > 0 ? -step : step);
    }
    Arm();
    return true;
}

void CBannerScroll::Wake()
{
    if (!m_resting || m_timerId != 0 || m_host.BannerItemCount() == 0 || !m_host.BannerIsShowing())
        return;
    m_resting = false;
    Arm();
}

void CBannerScroll::MoveLineToStart()
{
    m_offset = m_host.BannerClientRect().left;
    if (m_host.BannerWindowExists())
        m_host.BannerInvalidateAll();
}

void CBannerScroll::OnResize()
{
    if (m_host.BannerWindowExists())
        m_host.BannerInvalidateAll();
}

void CBannerScroll::OnItemAppended()
{
    if (!m_host.BannerWindowExists())
        return;
    const BannerRect rc = m_host.BannerClientRect();
    const long long end = static_cast<long long>(m_offset) + m_lineWidth;
    if (end < rc.right)
        m_host.BannerInvalidateColumns(end > rc.left ? static_cast<int>(end) : rc.left, rc.right);
    Wake();
}

void CBannerScroll::BeginGeometry()
{
    m_lineWidth = 0;
    m_leftEdges.clear();
}

int CBannerScroll::AddItemWidth(int width)
{
    const int left = m_offset + m_lineWidth;
    m_leftEdges.push_back(left);
    // Widths come from text extents; keep absurd ones from overflowing the sum.
    if (width > 0)
        m_lineWidth = (width > INT_MAX / 4 - m_lineWidth) ? INT_MAX / 4 : m_lineWidth + width;
    return left;
}

int CBannerScroll::HitTest(int x) const
{
    const size_t count = m_leftEdges.size();
    const long long end = static_cast<long long>(m_offset) + m_lineWidth;
    for (size_t i = 0; i < count; ++i) {
        if (m_leftEdges[i] > x)
            return static_cast<int>(i) - 1;
        if (i + 1 == count && m_leftEdges[i] < end && x < end)
            return static_cast<int>(i);
    }
    return -1;
}
