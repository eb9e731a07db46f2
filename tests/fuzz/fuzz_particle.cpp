// Particle description files and their particle records: the first 128 bytes of the input are the
// record "in.psi", the rest the description "in.txt"; read, fired and updated.
#include <algorithm>

#include "engine/tq2dparticle.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::StartEngine();
    const size_t record = std::min<size_t>(size, 128);
    fuzz::WriteInput("in.psi", data, record);
    fuzz::WriteInput("in.txt", data + record, size - record);
    TQ2DParticle particle;
    if (particle.CreateFromConfig("in.txt")) {
        particle.Fire();
        for (int step = 0; step < 4; ++step)
            particle.Update(0.1f);
    }
    return 0;
}
