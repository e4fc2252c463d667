#pragma once
// Stops the manager's loader threads before a folder is loaded, a loader is started,
// or the manager closes.

class CQuorixDoc;
class CQuorixState;
class wxWindow;

// wait: the close and exit road; every loader is stopped and joined (handling what
// they post meanwhile). Otherwise, with doc in thumbnail mode, the change-view dialog
// does the same and then refreshes doc's views; in the list modes each loader's stop
// flag and event are set and the call returns once none of them runs any more, so
// the caller may replace the records they read.
void StopWorkerThreads(CQuorixState& state, bool wait, CQuorixDoc* doc, wxWindow* parent);
