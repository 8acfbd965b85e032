#pragma once
// Replaceable services and a main window built on them, for the window's tests.

#include "TestMidiOutService.h"
#include "frame/Composition.h"
#include "frame/MainFrame.h"
#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"
#include "services/Profile.h"
#include "services/QuestionService.h"
#include "services/WaitCursor.h"

#include <QStringList>
#include <QTemporaryDir>

#include <map>
#include <memory>
#include <vector>

class CRecordingMessageBox : public IMessageBoxService {
public:
    struct Shown {
        QString text;
        MessageIcon icon;
    };
    void Show(QWidget*, const QString& text, MessageIcon icon) override { shown.push_back({text, icon}); }
    std::vector<Shown> shown;
};

// Answers the dialogs with what the test put in; an empty answer is a cancel.
class CScriptedFileDialogs : public IFileDialogService {
public:
    QStringList GetOpenFileNames(QWidget*, const QString& filter, const QString& extension) override
    {
        lastOpenFilter = filter;
        lastOpenExtension = extension;
        ++openCalls;
        return nextOpen;
    }
    QString GetSaveFileName(QWidget*, const QString& filter, const QString& extension) override
    {
        lastSaveFilter = filter;
        lastSaveExtension = extension;
        ++saveCalls;
        return nextSave;
    }
    QString GetSaveFileNameFor(QWidget* parent, const QString& filter, const QString& extension,
                               const QString& suggestedName) override
    {
        lastSuggestedName = suggestedName;
        return GetSaveFileName(parent, filter, extension);
    }
    QString GetFolderName(QWidget*, const QString&) override
    {
        ++folderCalls;
        return nextFolder;
    }
    QStringList nextOpen;
    QString nextSave;
    QString nextFolder;
    int folderCalls = 0;
    int openCalls = 0;
    int saveCalls = 0;
    QString lastOpenFilter, lastOpenExtension, lastSaveFilter, lastSaveExtension, lastSuggestedName;
};

class CCountingWaitCursor : public IWaitCursorService {
public:
    void Begin() override { ++depth, ++begins; }
    void End() override { --depth; }
    int depth = 0;
    int begins = 0;
};

// Answers the unsaved-changes question and confirmations as told, and remembers the
// questions asked.
class CScriptedQuestions : public IQuestionService {
public:
    SaveChoice AskSaveChanges(QWidget*, const QString& text) override
    {
        asked.push_back(text);
        return answer;
    }
    bool AskConfirm(QWidget*, const QString& text, const QString& confirmText) override
    {
        confirmations.push_back(text);
        confirmButtons.push_back(confirmText);
        return confirm;
    }
    int AskChoice(QWidget*, const QString& text, const QStringList& choices, int current) override
    {
        choiceTexts.push_back(text);
        choiceLists.push_back(choices);
        choiceCurrents.push_back(current);
        return choice == CURRENT_CHOICE ? current : choice;
    }
    SaveChoice answer = SaveChoice::Cancel;
    std::vector<QString> asked;
    bool confirm = false;
    // What AskChoice picks: an index, -1 to cancel, or the one chosen first.
    static constexpr int CURRENT_CHOICE = -2;
    int choice = CURRENT_CHOICE;
    std::vector<QString> choiceTexts;
    std::vector<QStringList> choiceLists;
    std::vector<int> choiceCurrents;
    std::vector<QString> confirmations;
    std::vector<QString> confirmButtons;
};

// A profile in memory that remembers the order of the writes.
class CMemoryProfile : public IProfile {
public:
    int GetProfileInt(const QString& section, const QString& key, int defaultValue) override
    {
        const auto found = values.find(section + '/' + key);
        return found == values.end() ? defaultValue : found->second.toInt();
    }
    QString GetProfileString(const QString& section, const QString& key, const QString& defaultValue) override
    {
        const auto found = values.find(section + '/' + key);
        return found == values.end() ? defaultValue : found->second;
    }
    void WriteProfileInt(const QString& section, const QString& key, int value) override
    {
        WriteProfileString(section, key, QString::number(value));
    }
    void WriteProfileString(const QString& section, const QString& key, const QString& value) override
    {
        values[section + '/' + key] = value;
        writes.push_back(section + '/' + key);
    }
    std::map<QString, QString> values;
    std::vector<QString> writes;
};

// A main window with its features on the replaceable services and the test MIDI service.
class CFrameFixture {
public:
    CFrameFixture();
    ~CFrameFixture();

    // Builds the window as start-up does, without showing it; MIDI input and a port
    // watcher bring the synthesizer's commands and the port follower.
    CMainFrame& Create(IMidiInService* midiIn = nullptr, IMidiPortWatcher* portWatcher = nullptr);
    CMainFrame& Frame() { return *frame; }
    CBankCommands& Bank() const { return *features.bank; }
    // Runs the idle-time updates, as an idle event loop would.
    void Idle();
    // Program > Find, with `text` typed into the dialog and OK pressed.
    void Find(const QString& text);
    QString PaneText(const char* name) const;

    CRecordingMessageBox messageBox;
    CScriptedFileDialogs fileDialogs;
    CCountingWaitCursor waitCursor;
    CMemoryProfile profile;
    CScriptedQuestions questions;
    CTestMidiOutService midi;
    int aboutCalls = 0;
    std::unique_ptr<CMainFrame> frame;
    CWindowFeatures features;
};

// The 254 data bytes of a program with the given name and voice mode (0-3); the other
// bytes are filled from `seed` so that programs differ.
std::vector<unsigned char> MakeProgram(const std::string& name, int voiceMode, int seed);

// Writes a dump file of the programs with the given function code (0x40 takes one).
QString WriteDump(const QString& path, const std::vector<std::vector<unsigned char>>& programs,
                  unsigned char function);
