#include "ListCommand.h"

#include "ExitCodes.h"
#include "FileDisplayName.h"
#include "ProgramList.h"
#include "SyxProgram.h"
#include "TextOutput.h"

int RunListCommand(const std::vector<std::string>& files, std::ostream& out, std::ostream& err)
{
    int result = CLI_EXIT_OK;
    for (const std::string& path : files) {
        // The file column names each file as the window's Open would for the same choice.
        const std::string displayName = DisplayNameForFile(path, files.size() == 1);
        CProgramList programs;
        std::string error;
        if (!programs.ReadSyxFile(path, error, displayName)) {
            out << std::flush;
            err << "Failed to parse Syx file " << ShownArgument(displayName) << ". " << error << std::endl;
            result = CLI_EXIT_FILE;
            continue;
        }
        for (int i = 0; i < programs.GetSize(); ++i)
            out << ProgramLine(*programs.GetAt(i)) << '\n';
    }
    out << std::flush;
    return result;
}
