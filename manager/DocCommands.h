#pragma once
// Command ids that the manager's document handles. Menu ids must stay below 32767, so
// commands once numbered 327xx keep their last three digits in the 20xxx range.

enum DocCommand : int {
    ID_DOC_DESELECT_ALL = 20775,  // File > Deselect all files
    ID_DOC_SELECT_ALL = 20776,    // File > Select all files
    ID_DOC_UPLOADER = 20774,      // "Uploader" (the tool panel's Upload button)
    ID_DOC_DELETE_CACHE = 20781,  // Options > Delete Cache
    ID_DOC_REFRESH = 1081,        // View > Refresh
};
