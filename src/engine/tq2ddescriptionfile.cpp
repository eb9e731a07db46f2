#include "engine/tq2ddescriptionfile.h"

#include "engine/tq2ddescriptionfields.h"
#include "engine/tq2dfilelookup.h"
#include "engine/tq2dpack.h"

// The file is read before the scope is entered: whether its own name may be read is the enclosing
// description's question.
TQ2DDescriptionFile::TQ2DDescriptionFile(const char* name) {
    if (!TQ2DNamesFile("description file", name))
        return;
    m_key = TQ2DNormalizeResourceName(name);
    if (!m_config.LoadFileConfig(name, 0, 0))
        return;
    m_base = TQ2DDescriptionBase(name, m_key);
    m_names.emplace(name);
}

TQString TQ2DDescriptionFile::Folder() const {
    return TQ2DDescriptionFolder(m_base);
}
