// Animation description files (with attached animations), read and played for a few steps.
#include "engine/tq2danimation.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    fuzz::WriteInput("in.txt", data, size);
    TQ2DAnimation animation;
    if (animation.CreateFromConfig("in.txt"))
        for (int step = 0; step < 4; ++step)
            animation.Update(0.25f);
    return 0;
}
