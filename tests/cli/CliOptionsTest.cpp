#include "CliOptions.h"

#include <gtest/gtest.h>

namespace {

CCliOptions Parse(const std::vector<std::string>& args)
{
    CCliOptions options;
    std::string error;
    EXPECT_TRUE(ParseCliArguments(args, options, error)) << error;
    return options;
}

std::string Refused(const std::vector<std::string>& args)
{
    CCliOptions options;
    std::string error;
    EXPECT_FALSE(ParseCliArguments(args, options, error));
    EXPECT_EQ(error.find('\n'), std::string::npos) << "one line: " << error;
    return error;
}

}  // namespace

TEST(CliOptions, ReceiveTakesPortChannelKindAndOutputInAnyOrder)
{
    const CCliOptions a = Parse({"receive", "--port", "UM-ONE", "--channel", "16", "--programs", "-o", "b.syx"});
    EXPECT_EQ(a.command, CliCommand::Receive);
    EXPECT_TRUE(a.portGiven);
    EXPECT_EQ(a.port, "UM-ONE");
    EXPECT_EQ(a.channel, 16);
    EXPECT_EQ(a.what, CliReceiveWhat::AllPrograms);
    EXPECT_EQ(a.output, "b.syx");

    const CCliOptions b = Parse({"receive", "-o=x.syx", "--current", "--port=Serial MIDI 1", "--channel=3"});
    EXPECT_EQ(b.what, CliReceiveWhat::CurrentProgram);
    EXPECT_EQ(b.output, "x.syx");
    EXPECT_EQ(b.port, "Serial MIDI 1");
    EXPECT_EQ(b.channel, 3);

    const CCliOptions c = Parse({"receive", "--all", "--output", "all.syx"});
    EXPECT_EQ(c.what, CliReceiveWhat::AllData);
    EXPECT_FALSE(c.portGiven);
    EXPECT_EQ(c.channel, 1);
}

TEST(CliOptions, SendAndListTakeFiles)
{
    const CCliOptions send = Parse({"send", "--yes", "bank.syx"});
    EXPECT_EQ(send.command, CliCommand::Send);
    EXPECT_TRUE(send.yes);
    EXPECT_EQ(send.files, std::vector<std::string>{"bank.syx"});
    EXPECT_FALSE(Parse({"send", "one.syx"}).yes);

    const CCliOptions list = Parse({"list", "a.syx", "-", "--", "--odd.syx"});
    EXPECT_EQ(list.files, (std::vector<std::string>{"a.syx", "-", "--odd.syx"}));
}

TEST(CliOptions, DetectAndWriteTakeTheirOptions)
{
    EXPECT_TRUE(Parse({"detect", "--json"}).json);
    EXPECT_EQ(Parse({"detect"}).command, CliCommand::Detect);
    const CCliOptions write = Parse({"write", "pad.syx", "--slot", "c05", "--yes", "--port", "UM-ONE", "--channel", "3"});
    EXPECT_EQ(write.command, CliCommand::Write);
    EXPECT_EQ(write.slot, "c05");
    EXPECT_TRUE(write.yes);
    EXPECT_EQ(write.port, "UM-ONE");
    EXPECT_EQ(write.channel, 3);
    EXPECT_EQ(write.files, std::vector<std::string>{"pad.syx"});
    EXPECT_EQ(Parse({"write", "--slot=H16", "pad.syx"}).slot, "H16");

    EXPECT_NE(Refused({"detect", "x.syx"}).find("no file"), std::string::npos);
    EXPECT_NE(Refused({"detect", "--port", "UM-ONE"}).find("Unknown option --port for detect"), std::string::npos);
    EXPECT_NE(Refused({"write", "pad.syx"}).find("needs --slot"), std::string::npos);
    EXPECT_NE(Refused({"write", "--slot", "A05"}).find("exactly one file"), std::string::npos);
    EXPECT_NE(Refused({"write", "--slot", "A17", "pad.syx"}).find("A01 to H16, not \"A17\""), std::string::npos);
    EXPECT_NE(Refused({"write", "--json", "--slot", "A1", "p"}).find("Unknown option --json"), std::string::npos);
}

TEST(CliOptions, HelpWinsAnywhere)
{
    EXPECT_EQ(Parse({"--help"}).command, CliCommand::Help);
    EXPECT_EQ(Parse({"receive", "--bogus", "-h"}).command, CliCommand::Help);
    EXPECT_EQ(Parse({"help"}).command, CliCommand::Help);
    // After "--" it is a file name.
    EXPECT_EQ(Parse({"list", "--", "--help"}).command, CliCommand::List);
    // --version wins over everything but --help.
    EXPECT_EQ(Parse({"--version"}).command, CliCommand::Version);
    EXPECT_EQ(Parse({"send", "--bogus", "--version"}).command, CliCommand::Version);
    EXPECT_EQ(Parse({"--version", "--help"}).command, CliCommand::Help);
    EXPECT_EQ(Parse({"list", "--", "--version"}).command, CliCommand::List);
}

TEST(CliOptions, UsageErrorsSayWhatIsWrong)
{
    EXPECT_NE(Refused({}).find("ports, detect, list, receive, send, write, import, search, sources, export, diff, "
                               "mark, show, compare or check"),
              std::string::npos);
    EXPECT_NE(Refused({"backup"}).find("Unknown command \"backup\""), std::string::npos);
    EXPECT_NE(Refused({"list"}).find("at least one file"), std::string::npos);
    EXPECT_NE(Refused({"ports", "x"}).find("no file"), std::string::npos);
    EXPECT_NE(Refused({"receive", "-o", "x.syx"}).find("--current, --programs or --all"), std::string::npos);
    EXPECT_NE(Refused({"receive", "--current", "--all", "-o", "x"}).find("one of"), std::string::npos);
    EXPECT_NE(Refused({"receive", "--current"}).find("-o FILE"), std::string::npos);
    EXPECT_NE(Refused({"receive", "--current", "-o"}).find("-o needs a value"), std::string::npos);
    EXPECT_NE(Refused({"send"}).find("exactly one file"), std::string::npos);
    EXPECT_NE(Refused({"send", "a.syx", "b.syx"}).find("exactly one file"), std::string::npos);
    EXPECT_NE(Refused({"send", "--port"}).find("--port needs a value"), std::string::npos);
    EXPECT_NE(Refused({"list", "--yes", "a.syx"}).find("Unknown option --yes for list"), std::string::npos);
    EXPECT_NE(Refused({"receive", "--yes", "--all", "-o", "x"}).find("Unknown option --yes"), std::string::npos);
    EXPECT_NE(Refused({"send", "-o", "x", "a.syx"}).find("Unknown option -o"), std::string::npos);
}

TEST(CliOptions, CollectionCommandsTakeTheirOptionsAndCollectionFile)
{
    const CCliOptions search = Parse({"search", "--collection", "c.sqlite", "--mode", "vocoder", "--tag=pads",
                                      "--favourite", "--hidden", "--source", "Synth 2026-12-07 10:00:00", "warm", "pad"});
    EXPECT_EQ(search.collection, "c.sqlite");
    EXPECT_EQ(search.voiceMode, "Vocoder");
    EXPECT_EQ(search.tag, "pads");
    EXPECT_TRUE(search.favourites && search.hidden);
    EXPECT_EQ(search.source, "Synth 2026-12-07 10:00:00");
    EXPECT_EQ(search.text, "warm pad");

    const CCliOptions exportIds = Parse({"export", "12", "7", "-o", "out"});
    EXPECT_EQ(exportIds.ids, (std::vector<std::int64_t>{12, 7}));
    EXPECT_EQ(exportIds.output, "out");
    const CCliOptions mark = Parse({"mark", "3", "--rename", "New Pad 1"});
    EXPECT_EQ(mark.mark, CliMark::Rename);
    EXPECT_EQ(mark.newName, "New Pad 1");
    EXPECT_TRUE(Parse({"receive", "--no-collection", "--all", "-o", "x"}).noCollection);
    EXPECT_EQ(Parse({"list", "--collection=c", "a.syx"}).collection, "c");

    EXPECT_NE(Refused({"import"}).find("at least one file or folder"), std::string::npos);
    EXPECT_NE(Refused({"search", "--mode", "Mono"}).find("Single, Split, Dual or Vocoder"), std::string::npos);
    EXPECT_NE(Refused({"sources", "x"}).find("unexpected \"x\""), std::string::npos);
    EXPECT_NE(Refused({"diff", "a"}).find("two sources"), std::string::npos);
    EXPECT_NE(Refused({"export", "-o", "x"}).find("one of --source"), std::string::npos);
    EXPECT_NE(Refused({"export", "--source", "a", "3", "-o", "x"}).find("one of --source"), std::string::npos);
    EXPECT_NE(Refused({"export", "3"}).find("-o PATH"), std::string::npos);
    EXPECT_NE(Refused({"export", "3x", "-o", "x"}).find("\"3x\" is not a program id"), std::string::npos);
    EXPECT_NE(Refused({"mark", "0", "--hide"}).find("not a program id"), std::string::npos);
    EXPECT_NE(Refused({"mark", "3"}).find("mark needs one of"), std::string::npos);
    EXPECT_NE(Refused({"mark", "3", "--hide", "--unhide"}).find("Choose one of"), std::string::npos);
    EXPECT_NE(Refused({"mark", "3", "--rename", "Far too long a name"}).find("1 to 12"), std::string::npos);
    EXPECT_NE(Refused({"search", "--collection"}).find("--collection needs a value"), std::string::npos);
    EXPECT_NE(Refused({"sources", "--yes"}).find("Unknown option --yes for sources"), std::string::npos);
}

TEST(CliOptions, ShowCompareAndDiffTakeTheParameterOptions)
{
    const CCliOptions show = Parse({"show", "bank.syx", "--slot=h16", "--all", "--json", "--model", "microKORG"});
    EXPECT_EQ(show.command, CliCommand::Show);
    EXPECT_EQ(show.files, std::vector<std::string>{"bank.syx"});
    EXPECT_EQ(show.slot, "h16");
    EXPECT_TRUE(show.allParameters && show.json);
    EXPECT_EQ(show.model, "microkorg");
    EXPECT_EQ(Parse({"show", "--id", "12", "--collection", "c"}).programId, 12);
    EXPECT_EQ(Parse({"compare", "a.syx:A05", "id:3", "--json"}).files,
              (std::vector<std::string>{"a.syx:A05", "id:3"}));
    EXPECT_TRUE(Parse({"diff", "a", "b", "--params", "--model=ms2000"}).parameters);

    const struct {
        std::vector<std::string> args;
        const char* error;
    } REFUSED[] = {
        {{"show"}, "show needs a FILE or --id N"},
        {{"show", "a", "b"}, "show takes one FILE"},
        {{"show", "a", "--id", "3"}, "not both"},
        {{"show", "--id", "3", "--slot", "A01"}, "--id names one already"},
        {{"show", "--id", "0"}, "--id needs a program ID"},
        {{"show", "a", "--slot", "I01"}, "A01 to H16, not \"I01\""},
        {{"show", "a", "--slot", "A17"}, "A01 to H16"},
        {{"show", "a", "--model", "ms2000r"}, "ms2000 or microkorg, not \"ms2000r\""},
        {{"compare", "a"}, "compare needs two programs"},
        {{"compare", "a", "b", "--all"}, "Unknown option --all for compare"},
        {{"diff", "a", "b", "--json"}, "Unknown option --json for diff"},
        {{"search", "--params"}, "Unknown option --params for search"},
    };
    for (const auto& refused : REFUSED)
        EXPECT_NE(Refused(refused.args).find(refused.error), std::string::npos) << refused.args[0] << " " << refused.error;
}

TEST(CliOptions, ChannelIsOneToSixteen)
{
    EXPECT_EQ(Parse({"send", "--channel", "1", "f"}).channel, 1);
    EXPECT_EQ(Parse({"send", "--channel", "09", "f"}).channel, 9);
    for (const char* bad : {"0", "17", "-1", "", "1x", "one", "100", " 5"})
        EXPECT_NE(Refused({"send", "--channel", bad, "f"}).find("1 to 16"), std::string::npos) << bad;
}

TEST(CliOptions, HelpDescribesEveryCommandOptionAndExitCode)
{
    const std::string help = CliHelpText();
    for (const char* word : {"ports", "list", "receive", "send", "--port", "--channel", "--current", "--programs",
                             "--all", "-o FILE", "--yes", "--version", "Veltrix.conf", "XDG_CONFIG_HOME", "in/out", "import",
                             "search", "sources", "export", "diff", "mark", "--collection", "--no-collection",
                             "--mode", "--tag", "--untag", "--favourite", "--no-favourite", "--hidden", "--hide",
                             "--unhide", "--rename", "--source", "--list", "XDG_DATA_HOME", "detect", "write", "show",
                             "compare", "--slot", "--id", "--json", "--model", "--params", "[editor] model"})
        EXPECT_NE(help.find(word), std::string::npos) << word;
    for (const char* code : {"\n  0 ", "\n  1 ", "\n  2 ", "\n  3 ", "\n  4 ", "\n  5 ", "\n  6 ", "\n  7 ", "\n  130 "})
        EXPECT_NE(help.find(code), std::string::npos) << code;
}
