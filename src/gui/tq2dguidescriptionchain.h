/// @class TQ2DGUIDescriptionChain
/// TQ2DGUIDescriptionChain: the description files (window and combo-box descriptions) being read,
/// outermost first, and the controls built from the outermost one. A file already being read further
/// up the chain is refused, so a file naming itself (directly or through other files) ends at once,
/// and one description tree builds at most kMaxControls controls, so files naming each other many
/// times cannot grow without bound. Both are logged. Host thread only.
#pragma once

#include <string>

#include "base/tqlogrepeats.h"
#include "engine/tq2dpacknamescope.h"

class TQ2DGUIDescriptionChain {
public:
    /// Most controls one description tree builds.
    static const int kMaxControls = 10000;

    /// Enters the file `name` for the lifetime of the object, unless it is already being read
    /// (then Entered is false and the refusal is logged for `reader`). The outermost file starts a
    /// new tree with no controls built.
    TQ2DGUIDescriptionChain(const char* name, const char* reader);
    ~TQ2DGUIDescriptionChain();
    TQ2DGUIDescriptionChain(const TQ2DGUIDescriptionChain&) = delete;
    TQ2DGUIDescriptionChain& operator=(const TQ2DGUIDescriptionChain&) = delete;

    /// False when the file was refused (already being read).
    bool Entered() const { return m_bEntered; }
    /// The number of files being read.
    static int Depth();

    /// Counts one more control built from the tree being read: false beyond kMaxControls, logged
    /// once per tree with `line`, the description line that asked for it.
    static bool TakeControl(const char* reader, const char* line);

private:
    TQLogRepeats m_repeats;    // a fault the tree repeats is one line
    TQ2DPackNameScope m_names; // the names this file holds are a pack's when it is
    bool m_bEntered = false;
};
