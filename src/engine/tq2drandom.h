/// @class TQ2DRandom
/// TQ2DRandom: the library's shared random generator and its background worker, which keeps drawing
/// (and discarding) numbers between the host's calls, so the sequence the host sees depends on timing.
/// The worker wakes every 50 ms and draws 50 numbers at a time. The generator is used only under the
/// object's lock.
#pragma once

#include "base/tqlockfast.h"
#include "base/tqrandom.h"
#include "base/tqthread.h"

class TQ2DRandom : public TQThread, public TQLockFast {
public:
    /// Starts the worker.
    TQ2DRandom();
    /// Stops the worker.
    ~TQ2DRandom() override;

    /// The next number of the generator, taken under the lock.
    DWORD GetRandom();

protected:
    /// Draws a burst of numbers and pauses (TQTHREAD_IDLE).
    int ThreadProc() override;

private:
    TQRandom m_random;
};
