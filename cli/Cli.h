#pragma once
#include <string>
#include <vector>

struct CCliContext;

// Runs veltrix-cli with the arguments after the program's name; returns its exit code.
int RunCli(const std::vector<std::string>& args, CCliContext& context);
