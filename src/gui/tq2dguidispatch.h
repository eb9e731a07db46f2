/// @file
/// TQ2DGUIDispatch: a run of handler calls over the control tree that stops for good as soon as a
/// handler destroys a control the caller depends on.
///
/// A handler may destroy controls (a host deleting a dialog from a click), and whoever called it
/// may hold pointers to controls and list elements that are gone then. A caller begins one
/// dispatch before its first handler call and makes every call through Run, touching a control
/// only inside a call: once the dispatch is broken, Run calls nothing more and answers false, and
/// the caller leaves without touching what it held. A dispatch begun without controls breaks on
/// any destruction (a pass holding pointers all over the tree); one begun with controls breaks only
/// when one of them is destroyed. Dispatches are begun and ended in nested scopes of one thread.
#pragma once

class TQ2DGUIObject;

/// Handler calls that stop once a control is destroyed; see tq2dguidispatch.h.
class TQ2DGUIDispatch {
public:
    /// Breaks on the destruction of either control given, or of any control when none is given.
    explicit TQ2DGUIDispatch(const TQ2DGUIObject* first = nullptr, const TQ2DGUIObject* second = nullptr);
    ~TQ2DGUIDispatch();
    TQ2DGUIDispatch(const TQ2DGUIDispatch&) = delete;
    TQ2DGUIDispatch& operator=(const TQ2DGUIDispatch&) = delete;

    /// Runs call while the dispatch is intact; true when it still is afterwards.
    template <class Call> bool Run(Call&& call) {
        if (m_bBroken)
            return false;
        call();
        return !m_bBroken;
    }
    /// True while no control it depends on has been destroyed since it began.
    bool Intact() const { return !m_bBroken; }

    /// Breaks the open dispatches that depend on control (the control's destructor calls it).
    static void ControlDestroyed(const TQ2DGUIObject* control);

private:
    bool DependsOn(const TQ2DGUIObject* control) const;

    const bool m_bAnyControl;
    const TQ2DGUIObject* const m_pFirst;
    const TQ2DGUIObject* const m_pSecond;
    bool m_bBroken = false;
    // The open dispatch begun before this one.
    TQ2DGUIDispatch* const m_pOuter;
    // The innermost open dispatch.
    static TQ2DGUIDispatch* m_pInnermost;
};
