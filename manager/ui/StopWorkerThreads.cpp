#include "manager/ui/StopWorkerThreads.h"

#include "manager/ui/CChangeViewDlg.h"
#include "manager/ui/CQuorixDoc.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/ManagerModes.h"

void StopWorkerThreads(CQuorixState& state, bool wait, CQuorixDoc* doc, wxWindow* parent)
{
    if (state.m_threads.Count() == 0)
        return;
    if (wait || !doc) {
        state.m_threads.StopAndWait(false, nullptr, state.m_pumpWhileWaiting);
        return;
    }
    if (doc->m_nViewMode == kViewThumbnails) {
        CChangeViewDlg dialog(parent, state.m_threads);
        dialog.SetTarget(doc, true);
        dialog.ShowModal();
        return;
    }
    state.m_threads.StopAndWait(true, nullptr, state.m_pumpWhileWaiting);
}
