/// @file
/// Where the file names a description file holds come from: while a description read from a
/// registered pack is applied, the names it holds are the pack's, not the game's, and the file
/// look-up keeps them inside the packs and below the game's folders (tq2dfilelookup.h).
#pragma once

/// Marks, for its lifetime, that the names now being resolved are read from one description file.
/// Scopes nest; host thread only.
class TQ2DPackNameScope {
public:
    /// Enters the description file name: its names count as a pack's when a registered pack holds
    /// it or when an enclosing description's names already do (a file reached through a pack's
    /// names stays a pack's).
    explicit TQ2DPackNameScope(const char* name);
    /// Leaves it: the enclosing description's names are resolved again.
    ~TQ2DPackNameScope();
    TQ2DPackNameScope(const TQ2DPackNameScope&) = delete;
    TQ2DPackNameScope& operator=(const TQ2DPackNameScope&) = delete;

    /// True while the innermost scope's names are a pack's.
    static bool Active();

private:
    bool m_bOuter;
};
