// The window's precompiled headers plus the test frameworks, for every window test target.
#pragma once

#include "PrecompiledHeaders.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
