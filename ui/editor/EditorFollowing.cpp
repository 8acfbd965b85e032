// The Program Editor following what is chosen elsewhere: the selection of the list, the bank
// and the Collection, a Random program, and the synthesizer (its edit buffer, the programs
// chosen on it, the dumps received from it).

#include "EditorCommands.h"

#include "EditorLiveLink.h"
#include "ProgramEditorPane.h"
#include "SynthMessages.h"
#include "host/SynthMemory.h"

#include <QTimer>

void CEditorCommands::FollowSelection(ProgramFetch fetch, const QString& source, bool refreshed)
{
    if (refreshed && (source != m_shownSource || (m_pendingSelection && m_pendingSource != source)))
        return;
    // Arrow keys held through a list move the selection faster than anyone reads: only the
    // latest is shown, once the events waiting have been handled.
    m_pendingSelection = std::move(fetch);
    m_pendingSource = source;
    m_selectionTimer->start();
}

void CEditorCommands::ShowFollowedSelection()
{
    const ProgramFetch fetch = std::move(m_pendingSelection);
    m_pendingSelection = nullptr;
    CBank::ProgramData data;
    QString title;
    if (!fetch || !fetch(data, title))
        return;
    // The view shows what it showed the last time: nothing was chosen there (its rows were
    // refilled, say), and the editor stays with what it shows.
    CSelected& last = m_lastSelected[m_pendingSource];
    if (last.valid && last.data == data && last.title == title)
        return;
    if (OpenProgram(data, title, m_pendingSource))
        last = {true, data, title};
}

void CEditorCommands::OnProgramSent(const CBank::ProgramData& program, bool random)
{
    if (!random)
        return;
    m_lastRandom = program;
    // What the synthesizer plays now, to tweak and keep; edits not kept are not pushed aside.
    if (!m_pane->IsEdited()) {
        m_pane->ShowProgram(program, "The last Random program");
        m_shownSource = "random";
    }
}

void CEditorCommands::OnProgramReceived(const CBank::ProgramData& program, bool asked)
{
    if (asked)
        ShowPane();
    if (m_pane->HasProgram() && program == m_pane->Program())
        return;   // what the editor holds already
    OpenProgram(program, "The synthesizer's edit buffer", "synth");
}

void CEditorCommands::WatchSynthProgramChanges()
{
    m_live->WatchProgramChanges();
}

void CEditorCommands::OnProgramChosen(int program)
{
    // "A 05", as the synthesizer's display names its programs.
    const QString slot = QString("%1 %2").arg(QChar(CBank::SlotBank(program))).arg(CBank::SlotNumber(program), 2, 10, QChar('0'));
    const CBank* memory = m_synthMemory != nullptr ? m_synthMemory->KnownMemory() : nullptr;
    // Without Follow Synthesizer (after Find Synthesizer) the program is only told.
    const bool follow = m_live->IsFollowing();
    if (memory == nullptr) {
        Note(QString("Synth: %1").arg(slot));
        if (follow)
            m_live->RequestEditBuffer();   // not known: the edit buffer now holds it
        return;
    }
    const CBank::ProgramData& data = memory->GetProgram(program);
    Note(QString("Synth: %1 %2").arg(slot, NameOf(data)));
    m_live->KnowEditBuffer(data);
    if (m_synthMemory->IsBankTheSynths() && m_selectBankSlot)
        m_selectBankSlot(program);   // the bank pane shows where it is
    if (follow)
        OpenProgram(data, QString("Synth %1 %2").arg(slot, NameOf(data)), "synth");
}

void CEditorCommands::NoteReceivedDump(const std::vector<unsigned char>& dump)
{
    CSynthMessageReader reader(dump.size() > 2 ? dump[2] & 0x0F : 0);
    std::vector<CSynthMessage> messages;
    reader.Take(dump.data(), dump.size(), messages);
    if (messages.size() == 1 && messages.front().kind == SynthMessageKind::CurrentProgram) {
        CBank::ProgramData program;
        std::copy(messages.front().data.begin(), messages.front().data.end(), program.begin());
        m_live->KnowEditBuffer(program);
    }
}
