#include "device/tqgfxdistortionmesh.h"

#include "base/tqlog.h"

#include <algorithm>
#include <climits>
#include <new>

namespace {

// Node indexes are ints, and the node array stays addressable by them in bytes.
const long long kMaxNodes = INT_MAX / static_cast<long long>(sizeof(TQ2D_VERTEX_tag));

const TQ2D_VERTEX_tag kNewNode = {0.0f, 0.0f, 0.5f, 0xFFFFFFFF, 0.0f, 0.0f};

TQ2D_VERTEX_tag* AllocateNodes(int count) {
    return count > 0 ? new (std::nothrow) TQ2D_VERTEX_tag[count] : nullptr;
}

// a / b, or 0 when b is 0.
float Ratio(float a, float b) {
    return b != 0.0f ? a / b : 0.0f;
}

} // namespace

TQGfxDistortionMesh::TQGfxDistortionMesh(int columns, int rows)
    : m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_pNodes(nullptr), m_nRows(0), m_nColumns(0),
      m_fCellWidth(0.0f), m_fCellHeight(0.0f), m_fTexX(0.0f), m_fTexY(0.0f), m_fWidth(0.0f), m_fHeight(0.0f),
      m_quad() {
    m_quad.tex = 0;
    m_quad.blend = TQ2D_BLEND_COLORMUL | TQ2D_BLEND_ALPHABLEND | TQ2D_BLEND_ZWRITE;
    const long long count = static_cast<long long>(columns) * rows;
    if (columns < 1 || rows < 1 || count > kMaxNodes) {
        g_tqLogError.SetLogInfo(__FILE__, "TQGfxDistortionMesh::TQGfxDistortionMesh", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Invalid mesh size. [columns=%d, rows=%d]", columns, rows);
        return;
    }
    m_pNodes = AllocateNodes(static_cast<int>(count));
    if (!m_pNodes) {
        g_tqLogError.SetLogInfo(__FILE__, "TQGfxDistortionMesh::TQGfxDistortionMesh", __LINE__);
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Mesh allocation fail. [columns=%d, rows=%d]", columns, rows);
        return;
    }
    m_nColumns = columns;
    m_nRows = rows;
    std::fill(m_pNodes, m_pNodes + count, kNewNode);
}

TQGfxDistortionMesh::TQGfxDistortionMesh(const TQGfxDistortionMesh& other)
    : m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_pNodes(nullptr) {
    CopyNodesFrom(other);
}

TQGfxDistortionMesh& TQGfxDistortionMesh::operator=(const TQGfxDistortionMesh& other) {
    if (this != &other) {
        delete[] m_pNodes;
        m_pNodes = nullptr;
        CopyNodesFrom(other);
    }
    return *this;
}

TQGfxDistortionMesh::~TQGfxDistortionMesh() {
    delete[] m_pNodes;
    if (m_pDevice)
        m_pDevice->Release();
}

// Copies everything but the device reference; a copy that cannot get its nodes has none.
void TQGfxDistortionMesh::CopyNodesFrom(const TQGfxDistortionMesh& other) {
    const int count = other.m_nColumns * other.m_nRows;
    m_pNodes = AllocateNodes(count);
    const bool copied = m_pNodes != nullptr;
    if (copied)
        std::copy(other.m_pNodes, other.m_pNodes + count, m_pNodes);
    m_nColumns = copied ? other.m_nColumns : 0;
    m_nRows = copied ? other.m_nRows : 0;
    m_fCellWidth = other.m_fCellWidth;
    m_fCellHeight = other.m_fCellHeight;
    m_fTexX = other.m_fTexX;
    m_fTexY = other.m_fTexY;
    m_fWidth = other.m_fWidth;
    m_fHeight = other.m_fHeight;
    m_quad = other.m_quad;
}

TQ2D_VERTEX_tag* TQGfxDistortionMesh::Node(int column, int row) const {
    if (column < 0 || row < 0 || column >= m_nColumns || row >= m_nRows)
        return nullptr;
    return &m_pNodes[row * m_nColumns + column];
}

void TQGfxDistortionMesh::SetTextureRect(float x, float y, float w, float h) {
    m_fTexX = x;
    m_fTexY = y;
    m_fWidth = w;
    m_fHeight = h;
    float texWidth = w;
    float texHeight = h;
    if (m_quad.tex && m_pDevice) {
        texWidth = static_cast<float>(m_pDevice->Texture_GetWidth(m_quad.tex, false));
        texHeight = static_cast<float>(m_pDevice->Texture_GetHeight(m_quad.tex, false));
    }
    // A grid without cells has no spacing.
    m_fCellWidth = m_nColumns > 1 ? w / (m_nColumns - 1) : 0.0f;
    m_fCellHeight = m_nRows > 1 ? h / (m_nRows - 1) : 0.0f;
    for (int row = 0; row < m_nRows; ++row) {
        for (int column = 0; column < m_nColumns; ++column) {
            TQ2D_VERTEX_tag* node = Node(column, row);
            node->x = GridX(column);
            node->y = GridY(row);
            node->tx = Ratio(GridX(column) + x, texWidth);
            node->ty = Ratio(GridY(row) + y, texHeight);
        }
    }
}

void TQGfxDistortionMesh::GetTextureRect(float* x, float* y, float* w, float* h) const {
    if (x)
        *x = m_fTexX;
    if (y)
        *y = m_fTexY;
    if (w)
        *w = m_fWidth;
    if (h)
        *h = m_fHeight;
}

void TQGfxDistortionMesh::Clear(DWORD color, float z) {
    for (int row = 0; row < m_nRows; ++row) {
        for (int column = 0; column < m_nColumns; ++column) {
            TQ2D_VERTEX_tag* node = Node(column, row);
            node->x = GridX(column);
            node->y = GridY(row);
            node->col = color;
            node->z = z;
        }
    }
}

void TQGfxDistortionMesh::SetZ(int column, int row, float z) {
    if (TQ2D_VERTEX_tag* node = Node(column, row))
        node->z = z;
}

float TQGfxDistortionMesh::GetZ(int column, int row) const {
    const TQ2D_VERTEX_tag* node = Node(column, row);
    return node ? node->z : 0.0f;
}

void TQGfxDistortionMesh::SetColor(int column, int row, DWORD color) {
    if (TQ2D_VERTEX_tag* node = Node(column, row))
        node->col = color;
}

DWORD TQGfxDistortionMesh::GetColor(int column, int row) const {
    const TQ2D_VERTEX_tag* node = Node(column, row);
    return node ? node->col : 0;
}

void TQGfxDistortionMesh::SetDisplacement(int column, int row, float dx, float dy, int mode) {
    TQ2D_VERTEX_tag* node = Node(column, row);
    if (!node)
        return;
    float originX = 0.0f, originY = 0.0f;
    if (mode == kRelativeToNode) {
        originX = GridX(column);
        originY = GridY(row);
    } else if (mode == kRelativeToCentre) {
        originX = CentreX();
        originY = CentreY();
    }
    node->x = originX + dx;
    node->y = originY + dy;
}

void TQGfxDistortionMesh::GetDisplacement(int column, int row, float* dx, float* dy, int mode) const {
    const TQ2D_VERTEX_tag* node = Node(column, row);
    if (!node || !dx || !dy)
        return;
    float originX, originY;
    switch (mode) {
    case kRelativeToNode:
        originX = GridX(column);
        originY = GridY(row);
        break;
    case kAbsolute:
        originX = originY = 0.0f;
        break;
    case kRelativeToCentre:
        originX = CentreX();
        originY = CentreY();
        break;
    default:
        return;
    }
    *dx = node->x - originX;
    *dy = node->y - originY;
}

void TQGfxDistortionMesh::Render(float x, float y) {
    if (!m_pDevice)
        return;
    for (int row = 0; row + 1 < m_nRows; ++row) {
        for (int column = 0; column + 1 < m_nColumns; ++column) {
            const int n = row * m_nColumns + column;
            const int corners[4] = {n, n + 1, n + m_nColumns + 1, n + m_nColumns};
            for (int i = 0; i < 4; ++i) {
                m_quad.v[i] = m_pNodes[corners[i]];
                m_quad.v[i].x += x;
                m_quad.v[i].y += y;
            }
            m_pDevice->Gfx_RenderQuad(&m_quad);
        }
    }
}
