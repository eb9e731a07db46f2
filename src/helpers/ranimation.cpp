#include "helpers/ranimation.h"

#include "device/tqgfxanimation.h"
#include "helpers/tqgfxresourcemanager.h"

RAnimation::RAnimation() : frames(1), fps(12.0f), mode(4) {}

DWORD_PTR RAnimation::Get(TQGfxResourceManager* manager) {
    if (!handle) {
        TQGfxAnimation* animation =
            new TQGfxAnimation(manager->GetTexture(texture), frames, fps, tx, ty, w, h);
        ApplyLook(animation);
        animation->SetMode(mode);
        handle = reinterpret_cast<DWORD_PTR>(animation);
    }
    return handle;
}

void RAnimation::Free() {
    delete reinterpret_cast<TQGfxAnimation*>(handle);
    handle = 0;
}
