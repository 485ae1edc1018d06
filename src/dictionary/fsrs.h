// The FSRS-6 memory model that schedules study marks: a card's stability (the days
// until its recall falls to 90%) and difficulty (1..10) after each rating, the
// probability of recall after t days, and the interval that meets a desired
// retention. Ratings are 1 Again, 2 Hard, 3 Good, 4 Easy; the study record uses
// Good for "known" and Again for "not known". There are no learning steps: every
// rating, the first included, schedules the card in whole days.
#pragma once

namespace lex {

struct FsrsState {
    double stability = 0;
    double difficulty = 0;
};

class CFsrs {
public:
    static constexpr int kWeights = 21;
    static constexpr int kDefaultMaxInterval = 36500;
    // The published default weights.
    static const double kDefaultWeights[kWeights];

    struct Options {
        const double* weights = kDefaultWeights; // kWeights values
        // A second rating on the day of the last one uses the same-day stability
        // rule, and a lapse can at most divide stability by e^(w17*w18). Off, a review
        // on the same day is an ordinary one with t = 0 and a lapse never raises
        // stability.
        bool sameDayRule = true;
        int maxInterval = kDefaultMaxInterval;
    };

    CFsrs() : CFsrs(Options()) {}
    explicit CFsrs(const Options& options);

    // Probability of recall t days after the last review.
    double Retrievability(double days, double stability) const;
    // Whole days until recall falls to retention, at least 1 and at most maxInterval.
    int Interval(double stability, double retention) const;

    FsrsState First(int rating) const;
    // The state after rating a card elapsedDays after its last review.
    FsrsState Next(const FsrsState& state, int rating, int elapsedDays) const;

    double InitialStability(int rating) const;
    double InitialDifficulty(int rating) const;
    double NextDifficulty(double difficulty, int rating) const;

private:
    double Weight(int i) const { return m_w[i]; }
    double RecallStability(double s, double d, double r, int rating) const;
    double LapseStability(double s, double d, double r) const;
    double SameDayStability(double s, int rating) const;

    double m_w[kWeights];
    double m_decay;
    double m_factor;
    bool m_sameDayRule;
    int m_maxInterval;
};

} // namespace lex
