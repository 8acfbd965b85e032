#pragma once
// The fixture of the tests that run the commands on the Collection whole (RunCli) on a real
// database in a temporary folder, and the dumps they take in.
#include "Cli.h"
#include "CliContext.h"
#include "CliTestSupport.h"
#include "SqliteDb.h"
#include "SyxFormat.h"
#include "TestMidiInService.h"
#include "TestMidiOutService.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

// A program dump of 128 made-up programs; `names` replaces the first names, `soundOf`
// changes the sound of the programs at those slots.
inline std::vector<unsigned char> Bank(const std::vector<std::string>& names = {}, const std::vector<int>& soundOf = {})
{
    std::vector<unsigned char> data = MadeUpPrograms(128);
    for (size_t i = 0; i < names.size(); ++i)
        if (!names[i].empty()) {
            std::string name = names[i];
            name.resize(12, ' ');
            std::copy(name.begin(), name.end(), data.begin() + static_cast<long>(i * 254));
        }
    for (int slot : soundOf)
        data[static_cast<size_t>(slot) * 254 + 100] ^= 0x01;
    return BuildDumpMessage(FUNC_PROGRAM_DUMP, 0, data.data(), static_cast<unsigned int>(data.size()));
}

// Runs SQL on the database as another program would.
inline bool ExecOn(const std::string& path, const char* sql)
{
    int code = 0;
    std::string error;
    auto db = CSqliteDb::Open(path, code, error);
    return db && db->Exec(sql);
}

inline std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, '\t');)
        fields.push_back(field);
    if (!line.empty() && line.back() == '\t')
        fields.push_back("");
    return fields;
}

class CollectionCommandsTest : public ::testing::Test
{
protected:
    int Run(std::vector<std::string> args)
    {
        args.insert(args.begin() + 1, {"--collection", data.File("c.sqlite")});
        outText.str("");
        errText.str("");
        return RunCli(args, context);
    }
    std::vector<std::string> OutLines() const { return Lines(outText.str()); }

    // The lines of a search, and the id of the program shown as `name`.
    std::string IdOf(const std::string& name)
    {
        EXPECT_EQ(Run({"search", name}), 0);
        for (const std::string& line : OutLines())
            if (Fields(line)[1] == name)
                return Fields(line)[0];
        ADD_FAILURE() << "no program " << name;
        return "0";
    }

    CTempFolder files, data;
    CTestMidiOutService out;
    CTestMidiInService in{out};
    std::ostringstream outText, errText;
    CCliContext context{out, in, outText, errText, false, std::string(), nullptr, CReceiveTimeouts(), 0,
                        "/nonexistent/never-the-default.sqlite"};
};
