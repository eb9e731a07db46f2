/// @file
/// TQ2DDistortionMesh: the engine's distortion mesh, a thin owner of one device mesh
/// (TQGfxDistortionMesh: a texture drawn through a grid of movable, tintable nodes). Every call does
/// nothing, or returns 0, while there is no mesh. The texture handle is only stored: it must live as
/// long as the mesh is drawn. Copies are deep: each copy has its own mesh.
#pragma once

#include "containers/tqmemorypooltmpl.h"

class TQGfxDistortionMesh;

/// The reference of a node displacement.
enum T_TQ2DDM_MODE {
    TQ2DDM_NODE = 0,    ///< relative to the node's own grid position
    TQ2DDM_TOPLEFT = 1, ///< absolute, in mesh coordinates (the point given to Render is the origin)
    TQ2DDM_CENTER = 2,  ///< relative to the centre of the grid
};

/// A distortion mesh the engine owns; see tq2ddistortionmesh.h.
class TQ2DDistortionMesh {
public:
    TQ2DDistortionMesh() = default;
    /// Create(columns, rows); the result is dropped.
    TQ2DDistortionMesh(unsigned long columns, unsigned long rows);
    /// Deep copy: a mesh of its own.
    TQ2DDistortionMesh(const TQ2DDistortionMesh& other);
    /// Deep copy: a mesh of its own.
    TQ2DDistortionMesh& operator=(const TQ2DDistortionMesh& other);
    virtual ~TQ2DDistortionMesh();

    /// A new mesh of columns x rows nodes in place of the present one. Non-zero, 0 when memory is
    /// short. A grid the device cannot hold has no nodes and draws nothing.
    int Create(unsigned long columns, unsigned long rows);
    /// Deletes the mesh.
    void Delete();

    /// Draws every cell with the mesh origin at (x, y).
    void Render(float x, float y);
    /// Every node back on its grid position with this colour and depth.
    void Clear(unsigned long color, float z);
    /// Texture handle drawn through the grid (stored only; 0 = none).
    void SetTexture(unsigned long texture);
    /// Lays the grid over this rectangle of the texture (texels).
    void SetTextureRect(float x, float y, float w, float h);
    /// Blend mode of every cell (TQ2D_BLEND_ bits).
    void SetBlendMode(int blend);
    /// Node setters ignore nodes outside the grid.
    void SetZ(unsigned long column, unsigned long row, float z);
    /// One node's ARGB colour.
    void SetColor(unsigned long column, unsigned long row, unsigned long color);
    /// Moves one node by (dx, dy) in pixels from the reference of mode.
    void SetDisplacement(unsigned long column, unsigned long row, float dx, float dy, T_TQ2DDM_MODE mode);

    /// The texture handle.
    unsigned long GetTexture() const;
    /// Nothing without a mesh or when a pointer is NULL.
    void GetTextureRect(float* x, float* y, float* w, float* h) const;
    /// The blend mode.
    int GetBlendMode() const;
    /// One node's depth; 0 outside the grid.
    float GetZ(unsigned long column, unsigned long row) const;
    /// One node's colour; 0 outside the grid.
    unsigned long GetColor(unsigned long column, unsigned long row) const;
    /// One node's offset from the reference of mode; nothing outside the grid or for a NULL pointer.
    void GetDisplacement(unsigned long column, unsigned long row, float* dx, float* dy,
                         T_TQ2DDM_MODE mode) const;

    /// Order by address: the sign of this object against other.
    int operator-(TQ2DDistortionMesh& other) const;
    /// Order by address; -1 for NULL.
    int operator-(void* other) const;

    TQ_DECLARE_MEMORY_POOL(TQ2DDistortionMesh)

private:
    TQGfxDistortionMesh* m_pMesh = nullptr;
};
