/// @file
/// Reading the GUI's description files (window and combo-box descriptions): KEY=VALUE lines.
#pragma once

#include <vector>

#include "base/tqstring.h"

/// One KEY=VALUE line: the key before the first '=', trimmed and upper-cased; the value between the
/// first and a second '=' (the rest of the line is lost), cut at its first '#' and trimmed.
struct TQ2DGUIDescriptionLine {
    /// The key, trimmed and upper-cased.
    TQString key;
    /// The value, trimmed.
    TQString value;
};

/// The text of a description file: the name is normalised as every resource name; the file comes
/// from the registered packs, else from the disk. False (text empty), after one line, for a name
/// naming no file or a file found nowhere.
bool TQ2DGUIReadDescription(const char* name, TQString& text);

/// Splits a description's text at line feeds into lines. With cutKeyComment the key too is cut at
/// its first '#' (a line starting with '#' then has an empty key).
std::vector<TQ2DGUIDescriptionLine> TQ2DGUISplitDescription(const TQString& text, bool cutKeyComment);
