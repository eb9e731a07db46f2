// TQ2DDistortionMesh: the engine's distortion mesh, a thin owner of one device mesh
// (TQGfxDistortionMesh: a texture drawn through a grid of movable, tintable nodes). Every call does
// nothing, or returns 0, while there is no mesh. The texture handle is only stored: it must live as
// long as the mesh is drawn. Copies are deep: each copy has its own mesh.
#pragma once

#include "containers/tqmemorypooltmpl.h"

class TQGfxDistortionMesh;

// The reference of a node displacement.
enum T_TQ2DDM_MODE {
    TQ2DDM_NODE = 0,    // relative to the node's own grid position
    TQ2DDM_TOPLEFT = 1, // absolute, in mesh coordinates (the point given to Render is the origin)
    TQ2DDM_CENTER = 2,  // relative to the centre of the grid
};

class TQ2DDistortionMesh {
public:
    TQ2DDistortionMesh() = default;
    // Create(columns, rows); the result is dropped.
    TQ2DDistortionMesh(unsigned long columns, unsigned long rows);
    TQ2DDistortionMesh(const TQ2DDistortionMesh& other);
    TQ2DDistortionMesh& operator=(const TQ2DDistortionMesh& other);
    virtual ~TQ2DDistortionMesh();

    // A new mesh of columns x rows nodes in place of the present one. Non-zero, 0 when memory is
    // short. A grid the device cannot hold has no nodes and draws nothing.
    int Create(unsigned long columns, unsigned long rows);
    void Delete();

    // Draws every cell with the mesh origin at (x, y).
    void Render(float x, float y);
    // Every node back on its grid position with this colour and depth.
    void Clear(unsigned long color, float z);
    void SetTexture(unsigned long texture);
    // Lays the grid over this rectangle of the texture (texels).
    void SetTextureRect(float x, float y, float w, float h);
    void SetBlendMode(int blend);
    // Node setters ignore nodes outside the grid.
    void SetZ(unsigned long column, unsigned long row, float z);
    void SetColor(unsigned long column, unsigned long row, unsigned long color);
    void SetDisplacement(unsigned long column, unsigned long row, float dx, float dy, T_TQ2DDM_MODE mode);

    unsigned long GetTexture() const;
    // Nothing without a mesh or when a pointer is NULL.
    void GetTextureRect(float* x, float* y, float* w, float* h) const;
    int GetBlendMode() const;
    float GetZ(unsigned long column, unsigned long row) const;
    unsigned long GetColor(unsigned long column, unsigned long row) const;
    void GetDisplacement(unsigned long column, unsigned long row, float* dx, float* dy,
                         T_TQ2DDM_MODE mode) const;

    int operator-(TQ2DDistortionMesh& other) const;
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DDistortionMesh)

private:
    TQGfxDistortionMesh* m_pMesh = nullptr;
};
