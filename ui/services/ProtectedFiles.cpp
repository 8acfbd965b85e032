#include "ProtectedFiles.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace {

std::mutex g_guardsMutex;
std::vector<const CProtectedFiles*> g_guards;

}  // namespace

CProtectedFiles::CProtectedFiles(Check check) : m_check(std::move(check))
{
    const std::lock_guard<std::mutex> lock(g_guardsMutex);
    g_guards.push_back(this);
}

CProtectedFiles::~CProtectedFiles()
{
    const std::lock_guard<std::mutex> lock(g_guardsMutex);
    g_guards.erase(std::remove(g_guards.begin(), g_guards.end(), this), g_guards.end());
}

QString CProtectedFiles::WhyProtected(const QString& path)
{
    const std::lock_guard<std::mutex> lock(g_guardsMutex);
    for (const CProtectedFiles* guard : g_guards) {
        const QString why = guard->m_check(path);
        if (!why.isEmpty())
            return why;
    }
    return QString();
}

std::string NotOpenedText(const QString& path)
{
    const QString why = CProtectedFiles::WhyProtected(path);
    return why.isEmpty() ? std::string() : (why + ": it is not opened").toStdString();
}
