#include "CollectionTags.h"

#include <QInputDialog>
#include <QStringList>

#include <algorithm>
#include <cctype>

namespace {
std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

bool Contains(const std::vector<std::string>& tags, const std::string& tag)
{
    const std::string wanted = Lower(tag);
    return std::any_of(tags.begin(), tags.end(), [&wanted](const std::string& t) { return Lower(t) == wanted; });
}
}  // namespace

std::vector<std::string> CommonTags(const std::vector<CCollectionRow>& programs)
{
    if (programs.empty())
        return {};
    std::vector<std::string> common;
    for (const std::string& tag : programs.front().tags)
        if (std::all_of(programs.begin() + 1, programs.end(),
                        [&tag](const CCollectionRow& program) { return Contains(program.tags, tag); }))
            common.push_back(tag);
    return common;
}

std::vector<std::string> ParseTags(const std::string& line)
{
    std::vector<std::string> tags;
    std::size_t start = 0;
    while (start <= line.size()) {
        std::size_t end = line.find(',', start);
        if (end == std::string::npos)
            end = line.size();
        std::string tag = line.substr(start, end - start);
        const auto first = tag.find_first_not_of(" \t");
        const auto last = tag.find_last_not_of(" \t");
        tag = first == std::string::npos ? std::string() : tag.substr(first, last - first + 1);
        if (!tag.empty() && !Contains(tags, tag))
            tags.push_back(tag);
        start = end + 1;
    }
    return tags;
}

CTagChange TagChange(const std::vector<std::string>& before, const std::vector<std::string>& after)
{
    CTagChange change;
    for (const std::string& tag : after)
        if (!Contains(before, tag))
            change.added.push_back(tag);
    for (const std::string& tag : before)
        if (!Contains(after, tag))
            change.removed.push_back(tag);
    return change;
}

bool AskTags(QWidget* parent, const std::vector<std::string>& current, int count, std::vector<std::string>& tags)
{
    QStringList shown;
    for (const std::string& tag : current)
        shown.append(QString::fromStdString(tag));
    QInputDialog dialog(parent);
    dialog.setObjectName("tagsDialog");
    dialog.setWindowTitle("Tags");
    dialog.setLabelText(count == 1 ? QString("Tags of the program, separated by commas:")
                                   : QString("Tags all %1 programs share, separated by commas:").arg(count));
    dialog.setTextValue(shown.join(", "));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    tags = ParseTags(dialog.textValue().toStdString());
    return true;
}
