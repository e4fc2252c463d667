#pragma once
// The print window's pictures (bar, buttons, page header and its buttons), drawn in code
// at their fixed sizes. The buttons' corners are the key colour 0xC0C0C0.

#include <wx/bitmap.h>

// The picture of a printid::kBitmap* id; an invalid bitmap for any other id.
wxBitmap PrintBitmap(int resourceId);
