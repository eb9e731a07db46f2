#include "meshscene.h"

#include <cmath>

namespace {

const int kNodes = 25; // nodes per side: 24 x 24 cells
const float kSize = 256.0f;
const float kCell = kSize / (kNodes - 1);
const float kRippleX = 110.0f;
const float kSwirlX = kDemoWidth - 110.0f - kSize;
const float kTop = 150.0f;

// A grey level 0..255 as an opaque colour.
unsigned long Grey(float level) {
    const unsigned long v = static_cast<unsigned long>(std::fmin(255.0f, std::fmax(0.0f, level)));
    return 0xFF000000ul | v << 16 | v << 8 | v;
}

// A fully saturated colour of the given hue (turns, any real number).
unsigned long Hue(float turns) {
    unsigned long color = 0xFF000000ul;
    for (int channel = 0; channel < 3; ++channel) {
        const float phase = turns + static_cast<float>(channel) / 3.0f;
        const float level = 0.5f + 0.5f * std::cos(6.2831853f * phase);
        color |= static_cast<unsigned long>(80.0f + 175.0f * level) << (16 - 8 * channel);
    }
    return color;
}

} // namespace

bool MeshScene::CreateMesh(TQ2DDistortionMesh& mesh) {
    if (!mesh.Create(kNodes, kNodes))
        return false;
    mesh.SetTexture(m_picture.GetTexture());
    mesh.SetTextureRect(0, 0, kSize, kSize);
    return true;
}

bool MeshScene::Load() {
    if (!m_picture.Create("mesh/picture.png", 0) || !CreateMesh(m_ripple) || !CreateMesh(m_swirl) ||
        !m_rippleLabel.Create(300, 16) || !m_swirlLabel.Create(300, 16))
        return false;
    m_rippleLabel.SetText("$T1$C#E0E8FFripple: node offsets and shading");
    m_swirlLabel.SetText("$T1$C#E0E8FFswirl round the centre, node colours");
    return true;
}

// Waves run outwards from the centre; each node moves along its radius and is lit on the crests.
void MeshScene::Ripple() {
    float cx = kSize / 2, cy = kSize / 2;
    float mx, my;
    TQ2DGetMousePos(&mx, &my);
    if (mx >= kRippleX && mx < kRippleX + kSize && my >= kTop && my < kTop + kSize) {
        cx = mx - kRippleX;
        cy = my - kTop;
    }
    for (int row = 0; row < kNodes; ++row)
        for (int column = 0; column < kNodes; ++column) {
            const float dx = column * kCell - cx, dy = row * kCell - cy;
            const float distance = std::sqrt(dx * dx + dy * dy) + 0.001f;
            const float wave = std::sin(distance / 14.0f - m_time * 5.0f);
            const float push = wave * 5.0f * std::exp(-distance / 220.0f);
            m_ripple.SetDisplacement(column, row, dx / distance * push, dy / distance * push, TQ2DDM_NODE);
            m_ripple.SetColor(column, row, Grey(200.0f + 55.0f * wave));
        }
}

// Each node turns round the centre by an angle that falls off with its distance.
void MeshScene::Swirl() {
    const float half = kSize / 2;
    for (int row = 0; row < kNodes; ++row)
        for (int column = 0; column < kNodes; ++column) {
            const float dx = column * kCell - half, dy = row * kCell - half;
            const float distance = std::sqrt(dx * dx + dy * dy);
            const float angle = 0.9f * std::sin(m_time * 1.3f) * std::exp(-distance / 90.0f);
            const float c = std::cos(angle), s = std::sin(angle);
            m_swirl.SetDisplacement(column, row, dx * c - dy * s, dx * s + dy * c, TQ2DDM_CENTER);
            m_swirl.SetColor(column, row, Hue(m_time * 0.3f + distance / 300.0f));
        }
}

void MeshScene::Update(float dt) {
    m_time += dt;
    Ripple();
    Swirl();
}

void MeshScene::Render() {
    m_ripple.Render(kRippleX, kTop);
    m_swirl.Render(kSwirlX, kTop);
    m_rippleLabel.Render(kRippleX, kTop + kSize + 16);
    m_swirlLabel.Render(kSwirlX, kTop + kSize + 16);
}
