// Base of every object a GDI handle stands for: fonts, bitmaps and device contexts.
#pragma once

namespace tqplat {

enum class GdiKind { Font, Bitmap, DC };

class GdiObject {
public:
    explicit GdiObject(GdiKind kind) : m_kind(kind) {}
    virtual ~GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    GdiKind Kind() const { return m_kind; }
    // The handle the table issued for this object (kept after deletion, when it no longer resolves).
    void* Handle() const { return m_handle; }
    void SetHandle(void* handle) { m_handle = handle; }
    // Stock objects belong to the layer: DeleteObject leaves them alone.
    bool IsStock() const { return m_stock; }
    void MarkStock() { m_stock = true; }

private:
    GdiKind m_kind;
    void* m_handle = nullptr;
    bool m_stock = false;
};

} // namespace tqplat
