#pragma once
#include "manager/model/CRecord.h"
