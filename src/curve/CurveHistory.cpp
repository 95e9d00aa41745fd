// CCurveHistory: a bounded queue of the latest samples.
#include "curve/CurveHistory.h"

void CCurveHistory::Add(const CurveSample& sample) {
    m_samples.push_back(sample);
    if (m_samples.size() > kCurveHistorySamples) {
        m_samples.pop_front();
    }
}
