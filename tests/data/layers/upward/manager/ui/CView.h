#pragma once
#include <wx/window.h>
