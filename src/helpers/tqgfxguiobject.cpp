#include "helpers/tqgfxguiobject.h"

TQGfxGUIObject::TQGfxGUIObject()
    : id(0), bStatic(false), bVisible(true), bEnabled(true), rect(0, 0, 0, 0), gui(nullptr), next(nullptr),
      prev(nullptr), m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)) {}

TQGfxGUIObject::~TQGfxGUIObject() {
    if (m_pDevice)
        m_pDevice->Release();
}
