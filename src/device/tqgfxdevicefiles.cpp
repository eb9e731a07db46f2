// TQGfxDevice: random numbers, the ini file and the log file.
#include "device/tqgfxdevice.h"

#include "platform/win32/tqpath.h"
#include "platform/win32/tqwinmm.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The device layer's random seed (not a field: one generator for the process).
DWORD g_seed = 0;

void StepSeed() {
    g_seed = g_seed * 214013u + 2531011u;
}

const size_t kLineSize = 256;

// Reads an ini entry as text; false when there is no ini file or the entry is missing or empty.
bool ReadIniText(const char* iniFile, const char* section, const char* name, char (&text)[kLineSize]) {
    return iniFile[0] && GetPrivateProfileStringA(section, name, "", text, kLineSize, iniFile) != 0;
}

} // namespace

void TQGfxDevice::Random_Seed(DWORD seed) {
    g_seed = seed ? seed : timeGetTime();
}

int TQGfxDevice::Random_Int(int min, int max) {
    StepSeed();
    DWORD mixed = g_seed ^ (g_seed >> 15);
    DWORD range = static_cast<DWORD>(max) - static_cast<DWORD>(min) + 1u;
    // The full 32-bit range (range wrapped to 0) takes every value as it is.
    DWORD offset = range ? mixed % range : mixed;
    return static_cast<int>(offset + static_cast<DWORD>(min));
}

float TQGfxDevice::Random_Float(float min, float max) {
    StepSeed();
    return static_cast<float>((g_seed >> 16) * (1.0f / 65535.0f) * (max - min) + min);
}

void TQGfxDevice::Ini_SetInt(const char* section, const char* name, int value) {
    char text[kLineSize];
    snprintf(text, sizeof(text), "%d", value);
    Ini_SetString(section, name, text);
}

int TQGfxDevice::Ini_GetInt(const char* section, const char* name, int defaultValue) {
    char text[kLineSize];
    return ReadIniText(m_szIniFile, section, name, text) ? atoi(text) : defaultValue;
}

void TQGfxDevice::Ini_SetFloat(const char* section, const char* name, float value) {
    char text[kLineSize];
    snprintf(text, sizeof(text), "%f", value);
    Ini_SetString(section, name, text);
}

float TQGfxDevice::Ini_GetFloat(const char* section, const char* name, float defaultValue) {
    char text[kLineSize];
    return ReadIniText(m_szIniFile, section, name, text) ? static_cast<float>(atof(text)) : defaultValue;
}

void TQGfxDevice::Ini_SetString(const char* section, const char* name, const char* value) {
    if (m_szIniFile[0])
        WritePrivateProfileStringA(section, name, value, m_szIniFile);
}

const char* TQGfxDevice::Ini_GetString(const char* section, const char* name, const char* defaultValue) {
    // The default may be an earlier result, which lives in the buffer about to be written.
    char fallback[sizeof(m_szIniString)];
    snprintf(fallback, sizeof(fallback), "%s", defaultValue ? defaultValue : "");
    if (m_szIniFile[0])
        GetPrivateProfileStringA(section, name, fallback, m_szIniString, sizeof(m_szIniString), m_szIniFile);
    else
        memcpy(m_szIniString, fallback, sizeof(m_szIniString));
    return m_szIniString;
}

void TQGfxDevice::System_Log(const char* format, ...) {
    if (!m_szLogFile[0] || !format)
        return;
    FILE* file = tqplat::OpenFile(m_szLogFile, "a");
    if (!file)
        return;
    char line[kLineSize];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof(line), format, args);
    va_end(args);
    fputs(line, file);
    fputs("\n", file);
    fclose(file);
}
