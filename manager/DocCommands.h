#pragma once
// Command ids that the manager's document handles.

enum DocCommand : int {
    ID_DOC_DESELECT_ALL = 32775,  // File > Deselect all files
    ID_DOC_SELECT_ALL = 32776,    // File > Select all files
    ID_DOC_UPLOADER = 32774,      // "Uploader" (the tool panel's Upload button)
    ID_DOC_DELETE_CACHE = 32781,  // Options > Delete Cache
    ID_DOC_REFRESH = 1081,        // View > Refresh
};
