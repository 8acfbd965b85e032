#include "ParameterFind.h"

#include "ProgramParameters.h"

#include <algorithm>
#include <cctype>

namespace {

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    for (const char c : text) {
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        } else if (!word.empty()) {
            words.push_back(word);
            word.clear();
        }
    }
    if (!word.empty())
        words.push_back(word);
    return words;
}

}  // namespace

std::string ParameterSearchText(const CParameter& parameter)
{
    std::string text;
    for (const std::string& word :
         Words(std::string(SectionName(parameter.section)) + ' ' + parameter.group + ' ' + parameter.name)) {
        if (!text.empty())
            text += ' ';
        text += word;
    }
    return text;
}

std::vector<const CParameter*> FindParameters(const std::vector<const CParameter*>& shown, std::string_view typed)
{
    const std::vector<std::string> wanted = Words(typed);
    if (wanted.empty())
        return {};
    struct Found {
        const CParameter* parameter;
        int whole;   // typed words matched whole
    };
    std::vector<Found> found;
    for (const CParameter* parameter : shown) {
        const std::vector<std::string> words = Words(ParameterSearchText(*parameter));
        int whole = 0;
        bool all = true;
        for (const std::string& typedWord : wanted) {
            bool begins = false, same = false;
            for (const std::string& word : words) {
                begins = begins || word.compare(0, typedWord.size(), typedWord) == 0;
                same = same || word == typedWord;
            }
            all = all && begins;
            whole += same ? 1 : 0;
        }
        if (all)
            found.push_back({parameter, whole});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.whole > b.whole; });
    std::vector<const CParameter*> result;
    for (const Found& f : found)
        result.push_back(f.parameter);
    return result;
}
