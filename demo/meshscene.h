// MeshScene: a picture drawn through two distortion meshes. The left one ripples outwards from a
// centre (the mouse, once it is over the picture), its nodes lit and shaded with the waves; the
// right one swirls round its centre with node colours running through the hues.
#pragma once

#include "demoscene.h"
#include "engine/tq2ddistortionmesh.h"
#include "engine/tq2dtexture.h"
#include "textlabel.h"

class MeshScene : public DemoScene {
public:
    bool Load() override;
    void Update(float dt) override;
    void Render() override;

private:
    bool CreateMesh(TQ2DDistortionMesh& mesh);
    void Ripple();
    void Swirl();

    TQ2DTexture m_picture;
    TQ2DDistortionMesh m_ripple;
    TQ2DDistortionMesh m_swirl;
    TextLabel m_rippleLabel;
    TextLabel m_swirlLabel;
    float m_time = 0.0f;
};
