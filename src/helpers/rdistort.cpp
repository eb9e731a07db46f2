#include "helpers/rdistort.h"

#include "device/tqgfxdistortionmesh.h"
#include "helpers/tqgfxresourcemanager.h"

RDistort::RDistort()
    : texture(), tx(0), ty(0), w(0), h(0), cols(2), rows(2), blend(TQ2D_BLEND_DEFAULT), color(0xFFFFFFFF),
      z(0.5f) {}

DWORD_PTR RDistort::Get(TQGfxResourceManager* manager) {
    if (!handle) {
        TQGfxDistortionMesh* mesh = new TQGfxDistortionMesh(cols, rows);
        mesh->SetTexture(manager->GetTexture(texture));
        mesh->SetTextureRect(tx, ty, w, h);
        mesh->SetBlendMode(blend);
        mesh->Clear(color, z);
        handle = reinterpret_cast<DWORD_PTR>(mesh);
    }
    return handle;
}

void RDistort::Free() {
    delete reinterpret_cast<TQGfxDistortionMesh*>(handle);
    handle = 0;
}
