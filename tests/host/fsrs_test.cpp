// The scheduler against the reference values the FSRS libraries' own tests publish.
#include "dictionary/fsrs.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

constexpr double kTolerance = 1e-4;

struct Review {
    int rating;
    int days;
};

lex::FsrsState Replay(const lex::CFsrs& fsrs, const std::vector<Review>& reviews)
{
    lex::FsrsState state = fsrs.First(reviews[0].rating);
    for (size_t i = 1; i < reviews.size(); ++i)
        state = fsrs.Next(state, reviews[i].rating, reviews[i].days);
    return state;
}

} // namespace

TEST(Fsrs, MatchesThePublishedReferenceValues)
{
    // A: a first Again, a Good the same day, then Goods 1, 3, 8 and 21 days apart.
    const std::vector<Review> a = {{1, 0}, {3, 0}, {3, 1}, {3, 3}, {3, 8}, {3, 21}};
    const lex::CFsrs withSameDay;
    lex::FsrsState state = Replay(withSameDay, a);
    EXPECT_NEAR(state.stability, 53.62691, kTolerance);
    EXPECT_NEAR(state.difficulty, 6.3574867, kTolerance);
    lex::CFsrs::Options plain;
    plain.sameDayRule = false;
    state = Replay(lex::CFsrs(plain), a);
    EXPECT_NEAR(state.stability, 53.335106, kTolerance);
    EXPECT_NEAR(state.difficulty, 6.3574867, kTolerance);

    // B: the first rating's state.
    const double s0[] = {0.212, 1.2931, 2.3065, 8.2956};
    const double d0[] = {6.4133, 5.11217071, 2.11810397, 1};
    for (int g = 1; g <= 4; ++g) {
        EXPECT_NEAR(withSameDay.First(g).stability, s0[g - 1], kTolerance) << g;
        EXPECT_NEAR(withSameDay.First(g).difficulty, d0[g - 1], kTolerance) << g;
    }

    // C: recall over days, difficulty from 5, intervals over the desired retention.
    const double r[] = {1.0, 0.9, 0.84588465, 0.8093881};
    for (int t = 0; t < 4; ++t)
        EXPECT_NEAR(withSameDay.Retrievability(t, 1.0), r[t], kTolerance) << t;
    const double d[] = {8.34176237, 6.66599536, 4.99022837, 3.31446137};
    for (int g = 1; g <= 4; ++g)
        EXPECT_NEAR(withSameDay.NextDifficulty(5.0, g), d[g - 1], kTolerance) << g;
    lex::CFsrs::Options unbounded;
    unbounded.maxInterval = INT_MAX;
    const lex::CFsrs wide(unbounded);
    const int intervals[] = {3116766, 34793, 2508, 387, 90, 27, 9, 3, 1, 1};
    // The reference library works in single precision: its longest interval is three
    // days off in three million.
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(wide.Interval(1.0, (i + 1) / 10.0), intervals[i], intervals[i] * kTolerance) << (i + 1) / 10.0;
    EXPECT_EQ(withSameDay.Interval(1.0, 0.1), lex::CFsrs::kDefaultMaxInterval) << "at most a hundred years";

    // D: FSRS-5 weights, no same-day rule, every review on its due day.
    const double fsrs5[lex::CFsrs::kWeights] = {0.4197, 1.1869, 3.0412, 15.2441, 7.1434, 0.6477, 1.0007,
                                                0.0674, 1.6597, 0.1712, 1.1178, 2.0225, 0.0904, 0.3025,
                                                2.1214, 0.2498, 2.9466, 0.4891, 0.6468, 0,      0.5};
    lex::CFsrs::Options five;
    five.weights = fsrs5;
    five.sameDayRule = false;
    const lex::CFsrs longTerm(five);
    const int ratings[] = {3, 3, 3, 3, 3, 3, 1, 1, 3, 3, 3, 3, 3};
    const int expectInterval[] = {3, 13, 48, 155, 445, 1158, 17, 3, 11, 37, 112, 307, 773};
    const double expectS[] = {3.0412,       13.09130698, 48.15848988, 154.93732625, 445.05562739,
                              1158.07779739, 16.63063166, 3.01732209,  11.42247264,  37.37521902,
                              111.8752758,   306.5974569, 772.94026648};
    const double expectD[] = {4.49094334, 4.26664289, 4.05746029, 3.86237659, 3.68044154, 3.51076891, 4.69833071,
                              5.55956298, 5.26323756, 4.98688448, 4.72915759, 4.4888015,  4.26464541};
    int interval = 0;
    for (int i = 0; i < 13; ++i) {
        state = i == 0 ? longTerm.First(ratings[i]) : longTerm.Next(state, ratings[i], interval);
        interval = longTerm.Interval(state.stability, 0.9);
        EXPECT_EQ(interval, expectInterval[i]) << "review " << i;
        EXPECT_NEAR(state.stability, expectS[i], kTolerance) << "review " << i;
        EXPECT_NEAR(state.difficulty, expectD[i], kTolerance) << "review " << i;
    }
}
