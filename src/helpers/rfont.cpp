#include "helpers/rfont.h"

#include "helpers/tqgfxfont.h"

RFont::RFont()
    : filename(), blend(TQ2D_BLEND_DEFAULT), color(0xFFFFFFFF), z(0.5f), scale(1.0f), tracking(0),
      rotation(0) {}

DWORD_PTR RFont::Get(TQGfxResourceManager*) {
    if (!handle) {
        TQGfxFont* font = new TQGfxFont(filename);
        font->SetColor(color);
        font->SetZ(z);
        font->SetBlendMode(blend);
        font->SetScale(scale);
        font->SetTracking(tracking);
        font->SetRotation(rotation);
        handle = reinterpret_cast<DWORD_PTR>(font);
    }
    return handle;
}

void RFont::Free() {
    delete reinterpret_cast<TQGfxFont*>(handle);
    handle = 0;
}
