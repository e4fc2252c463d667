#pragma once
// The manager's Print Preview, once it has checked the folder and set the print marks:
// opens the print window over the selected images (made on first use, then shown
// again with its page rebuilt), gives it the focus and hides the main window.

class CPrintFrame;
class CQuorixDoc;
class wxWindow;

// The print window, or null when it could not be made (the main window then stays).
CPrintFrame* OpenPrintWindow(CQuorixDoc& doc, wxWindow* mainFrame);
