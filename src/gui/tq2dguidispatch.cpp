#include "gui/tq2dguidispatch.h"

TQ2DGUIDispatch* TQ2DGUIDispatch::m_pInnermost = nullptr;

TQ2DGUIDispatch::TQ2DGUIDispatch(const TQ2DGUIObject* first, const TQ2DGUIObject* second)
    : m_bAnyControl(!first && !second), m_pFirst(first), m_pSecond(second), m_pOuter(m_pInnermost) {
    m_pInnermost = this;
}

TQ2DGUIDispatch::~TQ2DGUIDispatch() {
    m_pInnermost = m_pOuter;
}

bool TQ2DGUIDispatch::DependsOn(const TQ2DGUIObject* control) const {
    return m_bAnyControl || control == m_pFirst || control == m_pSecond;
}

void TQ2DGUIDispatch::ControlDestroyed(const TQ2DGUIObject* control) {
    for (TQ2DGUIDispatch* dispatch = m_pInnermost; dispatch; dispatch = dispatch->m_pOuter)
        if (dispatch->DependsOn(control))
            dispatch->m_bBroken = true;
}
