#pragma once
// Runs the steps of a routine that carries on past failures: a step that fails is abandoned and the next one
// runs; the last failure is kept for a routine that reports it.

#include "runtime/Err.h"

namespace reports {

class StepRunner {
public:
    // True when the step finished.
    template <class Step>
    bool operator()(Step&& step)
    {
        try {
            step();
            return true;
        } catch (...) {
            m_lastError.SetFromCurrentException();
            return false;
        }
    }

    const vb::ErrObject& lastError() const { return m_lastError; }

private:
    vb::ErrObject m_lastError;
};

}  // namespace reports
