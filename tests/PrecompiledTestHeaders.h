// The test framework and the standard headers most tests of data/, collection/, midi/ and
// cli/ include, compiled once per test program (target_precompile_headers) instead of parsed
// again by every test file: parsing them was most of such a file's compile time.
#pragma once

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
