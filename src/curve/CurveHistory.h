// CCurveHistory: the last five minutes of a fan set's readings, one sample per readings tick.
#pragma once

#include <deque>
#include <optional>

// A tick's followed temperature and the set's output, each none when it could not be read.
struct CurveSample {
    std::optional<int> m_nDegrees;
    std::optional<int> m_nPercent;
    bool operator==(const CurveSample&) const = default;
};

// Samples kept: five minutes of one-second ticks.
constexpr size_t kCurveHistorySamples = 300;

class CCurveHistory {
public:
    // Appends the tick's sample, dropping the oldest beyond five minutes.
    void Add(const CurveSample& sample);
    // Oldest first.
    const std::deque<CurveSample>& Samples() const { return m_samples; }
    // The newest sample; an empty one before the first tick.
    CurveSample Latest() const { return m_samples.empty() ? CurveSample{} : m_samples.back(); }
    bool operator==(const CCurveHistory&) const = default;

private:
    std::deque<CurveSample> m_samples;
};
