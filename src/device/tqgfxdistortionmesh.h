/// @class TQGfxDistortionMesh
/// TQGfxDistortionMesh: a texture (or a plain colour) drawn through a grid of columns × rows nodes
/// that can be moved, tinted and put at different depths one by one. Every cell between four
/// neighbouring nodes is one quad handed to the renderer, so moving nodes bends the picture.
///
/// Nodes are kept row after row (node (column, row) at row × columns + column). A new mesh has every
/// node at (0, 0), depth 0.5, white, texture coordinates (0, 0); no texture; blend mode
/// colour multiply + alpha blend + z-write. SetTextureRect lays the grid out over a texture
/// rectangle. A mesh needs at least 2 columns and 2 rows to have a cell; a grid whose size is below
/// 1 or too large to hold has no nodes at all.
///
/// Each mesh holds one device reference for its whole life, copies included. The texture is only
/// stored, never loaded or freed.
#pragma once

#include "device/tqgfxdevice.h"

class TQGfxDistortionMesh {
public:
    /// Displacement references.
    static constexpr int kRelativeToNode = 0;
    /// Displacement from the grid's origin.
    static constexpr int kAbsolute = 1;
    /// Displacement from the grid's centre.
    static constexpr int kRelativeToCentre = 2;

    /// A grid of columns x rows nodes, no texture; a size below 1 or too large leaves an empty grid (logged).
    TQGfxDistortionMesh(int columns, int rows);
    /// Deep copies: the nodes are duplicated.
    TQGfxDistortionMesh(const TQGfxDistortionMesh& other);
    /// Deep copy.
    TQGfxDistortionMesh& operator=(const TQGfxDistortionMesh& other);
    ~TQGfxDistortionMesh();

    /// Draws every cell, row by row, with the mesh origin at (x, y).
    void Render(float x, float y);
    /// Puts every node back on its grid position with this colour and depth; texture coordinates stay.
    void Clear(DWORD color, float z);

    /// Texture coordinates are not changed by a new texture; SetTextureRect recomputes them.
    void SetTexture(DWORD texture) { m_quad.tex = texture; }
    /// The texture handle (0 = none).
    DWORD GetTexture() const { return m_quad.tex; }
    /// Lays the grid over the rectangle (x, y, w, h) of the texture (in texels; without a texture the
    /// rectangle's own size is the texture size). Depth and colour of the nodes stay.
    void SetTextureRect(float x, float y, float w, float h);
    /// The texel rectangle set by SetTextureRect.
    void GetTextureRect(float* x, float* y, float* w, float* h) const;
    /// Blend mode of every cell (TQ2D_BLEND_ flags).
    void SetBlendMode(int blend) { m_quad.blend = blend; }
    /// The blend mode.
    int GetBlendMode() const { return m_quad.blend; }

    /// One node's depth and colour. Setters ignore nodes outside the grid; getters return 0 there.
    void SetZ(int column, int row, float z);
    /// One node's depth; 0 outside the grid.
    float GetZ(int column, int row) const;
    /// Sets one node's colour (ARGB).
    void SetColor(int column, int row, DWORD color);
    /// One node's colour; 0 outside the grid.
    DWORD GetColor(int column, int row) const;

    /// Moves a node by (dx, dy) from the reference of the mode (kRelativeToNode, kAbsolute,
    /// kRelativeToCentre; any other mode is absolute). Nodes outside the grid are ignored.
    void SetDisplacement(int column, int row, float dx, float dy, int mode);
    /// The node's offset from the reference of the mode; any other mode, a node outside the grid or a
    /// NULL pointer writes nothing.
    void GetDisplacement(int column, int row, float* dx, float* dy, int mode) const;

    /// Number of node columns.
    int GetColumns() const { return m_nColumns; }
    /// Number of node rows.
    int GetRows() const { return m_nRows; }

private:
    // The node at (column, row), NULL outside the grid.
    TQ2D_VERTEX_tag* Node(int column, int row) const;
    float GridX(int column) const { return column * m_fCellWidth; }
    float GridY(int row) const { return row * m_fCellHeight; }
    float CentreX() const { return (m_nColumns - 1) * m_fCellWidth / 2; }
    float CentreY() const { return (m_nRows - 1) * m_fCellHeight / 2; }
    void CopyNodesFrom(const TQGfxDistortionMesh& other);

    TQGfxDevice* m_pDevice;
    TQ2D_VERTEX_tag* m_pNodes;
    int m_nRows;
    int m_nColumns;
    float m_fCellWidth, m_fCellHeight;
    float m_fTexX, m_fTexY, m_fWidth, m_fHeight;
    TQ2D_QUAD_tag m_quad;
};
