#include "FileDisplayName.h"

std::string DisplayNameForFile(const std::string& path, bool onlyFileChosen)
{
    const std::string::size_type slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (onlyFileChosen) {
        const std::string::size_type lastDot = name.rfind('.');
        if (lastDot != std::string::npos)
            name.erase(lastDot);
    }
    const std::string::size_type dot = name.find('.', 1);
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}
