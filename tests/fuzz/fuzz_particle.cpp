// Particle description files, read, fired and updated.
#include "engine/tq2dparticle.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    fuzz::WriteInput("in.txt", data, size);
    TQ2DParticle particle;
    if (particle.CreateFromConfig("in.txt")) {
        particle.Fire();
        for (int step = 0; step < 4; ++step)
            particle.Update(0.1f);
    }
    return 0;
}
