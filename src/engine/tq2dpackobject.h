/// @file
/// A named pack entry, kept in the library's pack-object list (ordered by name). Nothing in the
/// library creates one, so the list stays empty.
#pragma once

#include "base/tqstring.h"
#include "containers/tqlisttmpl.h"
#include "containers/tqmemorypooltmpl.h"

/// A named pack entry; see tq2dpackobject.h.
class TQ2DPackObject {
public:
    /// Sign of the comparison of the two names (TQString::Compare, flag 0).
    int operator-(TQ2DPackObject& other);

    /// The entry's name.
    TQString m_strName;

    TQ_DECLARE_MEMORY_POOL(TQ2DPackObject)
};

/// The library's pack-object list.
extern TQListExTmpl<TQ2DPackObject> g_listPackObject;
