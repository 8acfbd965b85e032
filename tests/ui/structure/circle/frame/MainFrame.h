#pragma once
// A window that includes a feature that includes the window.
#include "bank/BankCommands.h"
