#pragma once
#include "frame/MainFrame.h"
