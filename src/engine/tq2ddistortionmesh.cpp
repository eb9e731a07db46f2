#include "engine/tq2ddistortionmesh.h"

#include "containers/tqcompare.h"
#include "device/tqgfxdistortionmesh.h"

#include <climits>
#include <new>

TQ_IMPLEMENT_MEMORY_POOL(TQ2DDistortionMesh)

namespace {

// A column, row or grid size as the device's int: values beyond its range stay out of range
// instead of wrapping into the grid.
int GridValue(unsigned long value) {
    return value > static_cast<unsigned long>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

} // namespace

TQ2DDistortionMesh::TQ2DDistortionMesh(unsigned long columns, unsigned long rows) {
    Create(columns, rows);
}

TQ2DDistortionMesh::TQ2DDistortionMesh(const TQ2DDistortionMesh& other) {
    *this = other;
}

TQ2DDistortionMesh& TQ2DDistortionMesh::operator=(const TQ2DDistortionMesh& other) {
    if (this == &other)
        return *this;
    TQGfxDistortionMesh* mesh =
        other.m_pMesh ? new (std::nothrow) TQGfxDistortionMesh(*other.m_pMesh) : nullptr;
    Delete();
    m_pMesh = mesh;
    return *this;
}

TQ2DDistortionMesh::~TQ2DDistortionMesh() {
    Delete();
}

int TQ2DDistortionMesh::Create(unsigned long columns, unsigned long rows) {
    Delete();
    m_pMesh = new (std::nothrow) TQGfxDistortionMesh(GridValue(columns), GridValue(rows));
    return m_pMesh ? 1 : 0;
}

void TQ2DDistortionMesh::Delete() {
    delete m_pMesh;
    m_pMesh = nullptr;
}

void TQ2DDistortionMesh::Render(float x, float y) {
    if (m_pMesh)
        m_pMesh->Render(x, y);
}

void TQ2DDistortionMesh::Clear(unsigned long color, float z) {
    if (m_pMesh)
        m_pMesh->Clear(static_cast<DWORD>(color), z);
}

void TQ2DDistortionMesh::SetTexture(unsigned long texture) {
    if (m_pMesh)
        m_pMesh->SetTexture(static_cast<DWORD>(texture));
}

void TQ2DDistortionMesh::SetTextureRect(float x, float y, float w, float h) {
    if (m_pMesh)
        m_pMesh->SetTextureRect(x, y, w, h);
}

void TQ2DDistortionMesh::SetBlendMode(int blend) {
    if (m_pMesh)
        m_pMesh->SetBlendMode(blend);
}

void TQ2DDistortionMesh::SetZ(unsigned long column, unsigned long row, float z) {
    if (m_pMesh)
        m_pMesh->SetZ(GridValue(column), GridValue(row), z);
}

void TQ2DDistortionMesh::SetColor(unsigned long column, unsigned long row, unsigned long color) {
    if (m_pMesh)
        m_pMesh->SetColor(GridValue(column), GridValue(row), static_cast<DWORD>(color));
}

void TQ2DDistortionMesh::SetDisplacement(unsigned long column, unsigned long row, float dx, float dy,
                                         T_TQ2DDM_MODE mode) {
    if (m_pMesh)
        m_pMesh->SetDisplacement(GridValue(column), GridValue(row), dx, dy, mode);
}

unsigned long TQ2DDistortionMesh::GetTexture() const {
    return m_pMesh ? m_pMesh->GetTexture() : 0;
}

void TQ2DDistortionMesh::GetTextureRect(float* x, float* y, float* w, float* h) const {
    if (m_pMesh && x && y && w && h)
        m_pMesh->GetTextureRect(x, y, w, h);
}

int TQ2DDistortionMesh::GetBlendMode() const {
    return m_pMesh ? m_pMesh->GetBlendMode() : 0;
}

float TQ2DDistortionMesh::GetZ(unsigned long column, unsigned long row) const {
    return m_pMesh ? m_pMesh->GetZ(GridValue(column), GridValue(row)) : 0.0f;
}

unsigned long TQ2DDistortionMesh::GetColor(unsigned long column, unsigned long row) const {
    return m_pMesh ? m_pMesh->GetColor(GridValue(column), GridValue(row)) : 0;
}

void TQ2DDistortionMesh::GetDisplacement(unsigned long column, unsigned long row, float* dx, float* dy,
                                         T_TQ2DDM_MODE mode) const {
    if (m_pMesh && dx && dy)
        m_pMesh->GetDisplacement(GridValue(column), GridValue(row), dx, dy, mode);
}

int TQ2DDistortionMesh::operator-(TQ2DDistortionMesh& other) const {
    return TQCompare(static_cast<const void*>(this), static_cast<const void*>(&other));
}

int TQ2DDistortionMesh::operator-(void* other) const {
    return other ? TQCompare(static_cast<const void*>(this), static_cast<const void*>(other)) : -1;
}
