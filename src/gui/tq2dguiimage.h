/// @class TQ2DGUIImage
/// TQ2DGUIImage: an animated picture in the control tree. It takes no mouse input: loading its
/// animation disables it.
#pragma once

#include "engine/tq2danimation.h"
#include "gui/tq2dguiobject.h"

class TQ2DGUIImage : public TQ2DGUIObject {
public:
    TQ2DGUIImage() = default;
    ~TQ2DGUIImage() override = default;

    /// The picture animation.
    TQ2DAnimation& GetTexture() { return m_Picture; }
    /// Builds the picture from an animation description file: 0 when that fails. A control at
    /// (0, 0) takes the animation's render position, one without a size the animation's size; the
    /// animation then plays (with its sound) and the control is disabled. 1.
    int SetTexture(const char* szFile);

    void OnRender(float x, float y) override;
    void OnUpdate(float fDelta, float x, float y) override;

    TQ_DECLARE_MEMORY_POOL(TQ2DGUIImage)

private:
    TQ2DAnimation m_Picture;
};
