#include "helpers/rsprite.h"

#include "device/tqgfxsprite.h"
#include "helpers/tqgfxresourcemanager.h"

RSprite::RSprite()
    : texture(), tx(0), ty(0), w(0), h(0), hotx(0), hoty(0), blend(TQ2D_BLEND_DEFAULT), color(0xFFFFFFFF),
      z(0.5f), bXFlip(false), bYFlip(false) {}

DWORD_PTR RSprite::Get(TQGfxResourceManager* manager) {
    if (!handle) {
        TQGfxSprite* sprite = new TQGfxSprite(manager->GetTexture(texture), tx, ty, w, h);
        ApplyLook(sprite);
        handle = reinterpret_cast<DWORD_PTR>(sprite);
    }
    return handle;
}

void RSprite::Free() {
    delete reinterpret_cast<TQGfxSprite*>(handle);
    handle = 0;
}

void RSprite::ApplyLook(TQGfxSprite* sprite) const {
    sprite->SetColor(color);
    sprite->SetZ(z);
    sprite->SetBlendMode(blend);
    sprite->SetHotSpot(hotx, hoty);
    sprite->SetFlip(bXFlip, bYFlip);
}
