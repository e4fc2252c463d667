#pragma once
#include "manager/ui/CView.h"
