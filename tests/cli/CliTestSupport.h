#pragma once
#include <string>
#include <vector>

// A fresh folder under /tmp, removed with everything in it when the object goes.
class CTempFolder
{
public:
    CTempFolder();
    ~CTempFolder();
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + "/" + name; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string m_path;
};

std::vector<unsigned char> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
bool Exists(const std::string& path);
// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);
// `count` made-up programs of 254 bytes, named "Prog 001" ... with voice modes in turn.
std::vector<unsigned char> MadeUpPrograms(int count);
