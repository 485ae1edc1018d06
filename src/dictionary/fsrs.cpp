#include "dictionary/fsrs.h"

#include <algorithm>
#include <cmath>

namespace lex {

namespace {

constexpr double kMinStability = 0.001;

double Clamp(double value, double low, double high) { return std::min(std::max(value, low), high); }

} // namespace

const double CFsrs::kDefaultWeights[kWeights] = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                                 0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                                 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

CFsrs::CFsrs(const Options& options) : m_sameDayRule(options.sameDayRule), m_maxInterval(options.maxInterval)
{
    std::copy(options.weights, options.weights + kWeights, m_w);
    m_decay = -m_w[20];
    m_factor = std::pow(0.9, 1.0 / m_decay) - 1.0;
}

double CFsrs::Retrievability(double days, double stability) const
{
    return std::pow(1.0 + m_factor * std::max(days, 0.0) / std::max(stability, kMinStability), m_decay);
}

int CFsrs::Interval(double stability, double retention) const
{
    const double days = stability / m_factor * (std::pow(retention, 1.0 / m_decay) - 1.0);
    if (!(days < m_maxInterval)) // also a retention that gives no finite interval
        return m_maxInterval;
    return std::max(1, static_cast<int>(std::lround(days)));
}

double CFsrs::InitialStability(int rating) const { return std::max(Weight(rating - 1), kMinStability); }

double CFsrs::InitialDifficulty(int rating) const
{
    return Clamp(Weight(4) - std::exp(Weight(5) * (rating - 1)) + 1.0, 1.0, 10.0);
}

double CFsrs::NextDifficulty(double difficulty, int rating) const
{
    const double delta = -Weight(6) * (rating - 3);
    const double damped = difficulty + delta * (10.0 - difficulty) / 9.0;
    // Mean reversion towards the (unclamped) initial difficulty of an Easy.
    const double easy = Weight(4) - std::exp(Weight(5) * 3) + 1.0;
    return Clamp(Weight(7) * easy + (1.0 - Weight(7)) * damped, 1.0, 10.0);
}

double CFsrs::RecallStability(double s, double d, double r, int rating) const
{
    const double hard = rating == 2 ? Weight(15) : 1.0;
    const double easy = rating == 4 ? Weight(16) : 1.0;
    return s * (1.0 + std::exp(Weight(8)) * (11.0 - d) * std::pow(s, -Weight(9)) *
                          (std::exp(Weight(10) * (1.0 - r)) - 1.0) * hard * easy);
}

double CFsrs::LapseStability(double s, double d, double r) const
{
    const double forgotten =
        Weight(11) * std::pow(d, -Weight(12)) * (std::pow(s + 1.0, Weight(13)) - 1.0) * std::exp(Weight(14) * (1.0 - r));
    const double cap = m_sameDayRule ? s / std::exp(Weight(17) * Weight(18)) : s;
    return std::min(forgotten, cap);
}

double CFsrs::SameDayStability(double s, int rating) const
{
    double factor = std::exp(Weight(17) * (rating - 3 + Weight(18))) * std::pow(s, -Weight(19));
    if (rating >= 2)
        factor = std::max(factor, 1.0);
    return s * factor;
}

FsrsState CFsrs::First(int rating) const
{
    rating = static_cast<int>(Clamp(rating, 1, 4));
    return {InitialStability(rating), InitialDifficulty(rating)};
}

FsrsState CFsrs::Next(const FsrsState& state, int rating, int elapsedDays) const
{
    rating = static_cast<int>(Clamp(rating, 1, 4));
    const double s = std::max(state.stability, kMinStability);
    const double d = Clamp(state.difficulty, 1.0, 10.0);
    FsrsState next;
    next.difficulty = NextDifficulty(d, rating);
    if (m_sameDayRule && elapsedDays < 1) {
        next.stability = SameDayStability(s, rating);
    } else {
        const double r = Retrievability(elapsedDays, s);
        next.stability = rating == 1 ? LapseStability(s, d, r) : RecallStability(s, d, r, rating);
    }
    next.stability = std::max(next.stability, kMinStability);
    return next;
}

} // namespace lex
