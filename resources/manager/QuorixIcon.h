#pragma once
// The program icon of the manager: its windows and the About box show it.

#include <wx/icon.h>

wxIcon QuorixIcon();
