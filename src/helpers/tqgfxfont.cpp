#include "helpers/tqgfxfont.h"

#include "base/tqlog.h"
#include "base/tqlogname.h"
#include "device/tqgfxsprite.h"
#include "helpers/resdesc.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

bool IsSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The next token of the description from *pos (empty at the end); *pos moves past it.
std::string NextToken(const char** pos) {
    const char* p = *pos;
    while (*p && IsSeparator(*p))
        ++p;
    const char* start = p;
    while (*p && !IsSeparator(*p))
        ++p;
    *pos = p;
    return std::string(start, p);
}

// A whole token read as a decimal integer within int's range.
bool ParseInt(const std::string& token, long* value) {
    if (token.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    *value = std::strtol(token.c_str(), &end, 10);
    return *end == '\0' && errno == 0 && *value >= -2147483647L && *value <= 2147483647L;
}

// The texture's path: its name after the description's folder (up to its last "\", else "/").
std::string TexturePath(const char* fileName, const std::string& textureName) {
    const char* slash = std::strrchr(fileName, '\\');
    if (!slash)
        slash = std::strrchr(fileName, '/');
    if (!slash)
        return textureName;
    return std::string(fileName, slash + 1) + textureName;
}

} // namespace

// Holds a device reference of its own, so that the texture can be freed whatever order the
// fonts sharing it go in.
struct TQGfxFont::SharedTexture {
    explicit SharedTexture(DWORD handle) : device(TQGfxCreate(TQGfxDevice::kVersion)), texture(handle) {}
    SharedTexture(const SharedTexture&) = delete;
    SharedTexture& operator=(const SharedTexture&) = delete;
    ~SharedTexture() {
        if (device) {
            device->Texture_Free(texture);
            device->Release();
        }
    }
    TQGfxDevice* device;
    DWORD texture;
};

TQGfxFont::TQGfxFont(const char* fileName)
    : m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_hTexture(0), m_pLetters(), m_fHeight(0),
      m_fScale(1.0f), m_fRot(0), m_fTracking(0), m_dwCol(0xFFFFFFFF), m_fZ(0.5f),
      m_nBlend(TQ2D_BLEND_DEFAULT) {
    if (m_pDevice && fileName)
        Load(fileName);
}

TQGfxFont::TQGfxFont(const TQGfxFont& other)
    : m_pDevice(TQGfxCreate(TQGfxDevice::kVersion)), m_hTexture(other.m_hTexture),
      m_pTextureOwner(other.m_pTextureOwner), m_pLetters(), m_fHeight(other.m_fHeight),
      m_fScale(other.m_fScale), m_fRot(other.m_fRot), m_fTracking(other.m_fTracking), m_dwCol(other.m_dwCol),
      m_fZ(other.m_fZ), m_nBlend(other.m_nBlend) {
    CopyGlyphs(other);
}

TQGfxFont& TQGfxFont::operator=(const TQGfxFont& other) {
    if (this == &other)
        return *this;
    DeleteGlyphs();
    m_hTexture = other.m_hTexture;
    m_pTextureOwner = other.m_pTextureOwner;
    m_fHeight = other.m_fHeight;
    m_fScale = other.m_fScale;
    m_fRot = other.m_fRot;
    m_fTracking = other.m_fTracking;
    m_dwCol = other.m_dwCol;
    m_fZ = other.m_fZ;
    m_nBlend = other.m_nBlend;
    CopyGlyphs(other);
    return *this;
}

TQGfxFont::~TQGfxFont() {
    DeleteGlyphs();
    m_pTextureOwner.reset();
    if (m_pDevice)
        m_pDevice->Release();
}

void TQGfxFont::CopyGlyphs(const TQGfxFont& other) {
    for (int code = 0; code < 256; ++code)
        m_pLetters[code] = other.m_pLetters[code] ? new TQGfxSprite(*other.m_pLetters[code]) : nullptr;
}

void TQGfxFont::DeleteGlyphs() {
    for (TQGfxSprite*& glyph : m_pLetters) {
        delete glyph;
        glyph = nullptr;
    }
}

// ---- Loading ----

namespace {

// One line on the error log, which a game sees without a device log file: the font's file or texture
// that could not be loaded, and why when that is known (TQGfxWhyNotRead), else the disk path tried
// after the device's zip packs.
void LogNotLoaded(TQGfxDevice* device, const char* fontName, const char* what, const char* file) {
    const std::string why = TQGfxWhyNotRead(device);
    g_tqLogError.SetLogInfo(__FILE__, "TQGfxFont::Load", __LINE__);
    if (!why.empty())
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Font '%s': %s not loaded: %s.", TQLogShortName(fontName).c_str(),
                         what, why.c_str());
    else
        g_tqLogError.Log(TQLOG_ERROR_PREFIX "Font '%s': %s not loaded. [path=%s]",
                         TQLogShortName(fontName).c_str(), what,
                         TQLogShortName(device->Resource_MakePath(file)).c_str());
}

} // namespace

void TQGfxFont::Load(const char* fileName) {
    DWORD size = 0;
    void* data = m_pDevice->Resource_Load(fileName, &size);
    if (!data) {
        m_pDevice->System_Log("Font '%s' not found.", fileName);
        LogNotLoaded(m_pDevice, fileName, "file", fileName);
        return;
    }
    std::string text(static_cast<const char*>(data), size);
    m_pDevice->Resource_Free(data);
    // An embedded NUL ends the description.
    text.resize(std::strlen(text.c_str()));

    const char* pos = text.c_str();
    std::string textureName = NextToken(&pos);
    if (textureName.empty()) {
        m_pDevice->System_Log("Font '%s': no texture named.", fileName);
        return;
    }
    std::string path = TexturePath(fileName, textureName);
    m_hTexture = m_pDevice->Texture_Load(path.c_str(), 0);
    if (!m_hTexture) {
        m_pDevice->System_Log("Font '%s': can't load texture '%s'.", fileName, path.c_str());
        LogNotLoaded(m_pDevice, fileName, "texture", path.c_str());
        return;
    }
    m_pTextureOwner = std::make_shared<SharedTexture>(m_hTexture);
    if (!ReadGlyphs(fileName, pos)) {
        DeleteGlyphs();
        m_pTextureOwner.reset();
        m_hTexture = 0;
    }
}

bool TQGfxFont::ReadGlyphs(const char* fileName, const char* pos) {
    long height = 0;
    std::string token = NextToken(&pos);
    if (!ParseInt(token, &height) || height <= 0) {
        m_pDevice->System_Log("Font '%s': invalid glyph height '%s'.", fileName, token.c_str());
        return false;
    }
    m_fHeight = static_cast<float>(height);
    long x = 0, y = 0;
    int code = 0;
    while (code < 256) {
        token = NextToken(&pos);
        if (token.empty())
            break;
        long width = 0;
        if (!ParseInt(token, &width)) {
            m_pDevice->System_Log("Font '%s': invalid glyph width '%s'.", fileName, token.c_str());
            return false;
        }
        if (width < 0) {
            code += static_cast<int>(width < -256 ? 256 : -width);
            continue;
        }
        if (!PlaceGlyph(code, width, &x, &y))
            m_pDevice->System_Log("Font '%s': glyph %d of width %ld does not fit the texture.", fileName,
                                  code, width);
        ++code;
    }
    return true;
}

// The pen moves as the layout says whether or not the glyph fits, so the glyphs after one that
// does not keep their places. The pen is wide enough for 256 glyphs of the largest width.
bool TQGfxFont::PlaceGlyph(int code, long width, long* x, long* y) {
    const long textureWidth = m_pDevice->Texture_GetWidth(m_hTexture, false);
    const long textureHeight = m_pDevice->Texture_GetHeight(m_hTexture, false);
    const long height = static_cast<long>(m_fHeight);
    if (*x + width > textureWidth) {
        *x = 0;
        *y += height;
    }
    const long left = *x;
    *x += width;
    if (left + width > textureWidth || *y + height > textureHeight)
        return false;
    TQGfxSprite* glyph = new TQGfxSprite(m_hTexture, static_cast<float>(left), static_cast<float>(*y),
                                         static_cast<float>(width), m_fHeight);
    glyph->SetColor(m_dwCol);
    glyph->SetZ(m_fZ);
    glyph->SetBlendMode(m_nBlend);
    m_pLetters[code] = glyph;
    return true;
}

// ---- Drawing ----

TQGfxSprite* TQGfxFont::DrawnGlyph(unsigned char code) const {
    return m_pLetters[code] ? m_pLetters[code] : m_pLetters[static_cast<unsigned char>('?')];
}

float TQGfxFont::GetStringWidth(const char* text) const {
    float width = 0;
    for (const char* p = text; p && *p && *p != '\n'; ++p)
        if (const TQGfxSprite* glyph = DrawnGlyph(static_cast<unsigned char>(*p)))
            width += glyph->GetWidth() + m_fTracking;
    return width * m_fScale;
}

float TQGfxFont::LineStart(float x, const char* text, int align) const {
    if (align == TQGFX_TEXT_RIGHT)
        return x - GetStringWidth(text);
    if (align == TQGFX_TEXT_CENTER)
        return x - GetStringWidth(text) / 2;
    return x;
}

void TQGfxFont::Render(float x, float y, const char* text, int align) {
    if (!text)
        return;
    float penX = LineStart(x, text, align);
    for (const char* p = text; *p; ++p) {
        if (*p == '\n') {
            y += m_fHeight * m_fScale;
            penX = LineStart(x, p + 1, align);
        } else if (TQGfxSprite* glyph = DrawnGlyph(static_cast<unsigned char>(*p))) {
            glyph->RenderEx(penX, y, m_fRot, m_fScale, 0.0f);
            penX += (glyph->GetWidth() + m_fTracking) * m_fScale;
        }
    }
}

void TQGfxFont::printf(float x, float y, const char* format, ...) {
    char buffer[256] = "";
    if (format) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof(buffer), format, args);
        va_end(args);
    }
    Render(x, y, buffer, TQGFX_TEXT_LEFT);
}

// ---- Look ----

void TQGfxFont::SetColor(DWORD color) {
    m_dwCol = color;
    for (TQGfxSprite* glyph : m_pLetters)
        if (glyph)
            glyph->SetColor(color);
}

void TQGfxFont::SetZ(float z) {
    m_fZ = z;
    for (TQGfxSprite* glyph : m_pLetters)
        if (glyph)
            glyph->SetZ(z);
}

void TQGfxFont::SetBlendMode(int blend) {
    m_nBlend = blend;
    for (TQGfxSprite* glyph : m_pLetters)
        if (glyph)
            glyph->SetBlendMode(blend);
}
