// Purgetool: empties the manager's session file and clears its thumbnail cache.
#include "platform/ProcessSignals.h"
#include "platform/SpecialFolders.h"
#include "platform/WorkingFolder.h"
#include "purgetool/CachePurge.h"

#include <wx/init.h>

#include <cstdio>

int main(int argc, char** argv)
{
    lfplat::IgnoreFileSizeSignal();  // before anything writes a file
    wxInitializer framework(argc, argv);
    CachePurge purge(lfplat::WorkingPath("qkvex.sess"), lfplat::CacheFolder());
    return CachePurge::Main(framework.IsOk(), purge, stderr);
}
