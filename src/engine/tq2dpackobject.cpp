#include "engine/tq2dpackobject.h"

TQ_IMPLEMENT_MEMORY_POOL(TQ2DPackObject)

TQListExTmpl<TQ2DPackObject> g_listPackObject;

int TQ2DPackObject::operator-(TQ2DPackObject& other) {
    return m_strName.Compare(other.m_strName.GetString(), 0);
}
