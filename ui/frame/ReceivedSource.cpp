// The main window's library gains a source that is not a file: a dump received from the
// synthesizer or programs shown from the Collection, and the frame's hook for the MIDI input
// side.

#include "MainFrame.h"
#include "services/WaitCursor.h"
#include "synth/MidiPortFollower.h"
#include "synth/SynthCommands.h"

bool CMainFrame::AddLibrarySource(const std::vector<unsigned char>& dump, const QString& sourceName,
                                  std::string& error)
{
    CWaitCursor wait(*m_services.waitCursor);
    if (!m_programs.ReadSyxBytes(dump.data(), dump.size(), error, sourceName.toStdString()))
        return false;
    ShowAddedSource(sourceName);
    for (const DumpAddedHandler& handler : m_dumpAddedHandlers)
        handler(dump, sourceName);
    return true;
}

void CMainFrame::AddLibraryPrograms(const std::vector<CBank::ProgramData>& programs, const QString& sourceName)
{
    if (programs.empty())
        return;
    CWaitCursor wait(*m_services.waitCursor);
    // Numbered as the slots of a dump would be, A01 to H16, again from A01 after 128.
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const int slot = static_cast<int>(i % BANK_SLOT_COUNT);
        m_programs.Add(new CSyxProgram(CBank::SlotBank(slot), CBank::SlotNumber(slot), programs[i].data(),
                                       PROGRAM_DATA_SIZE, sourceName.toStdString()));
    }
    ShowAddedSource(sourceName);
}

void CMainFrame::ShowAddedSource(const QString& sourceName)
{
    ++m_fileCount;
    m_librarySources.AddFile(sourceName, m_programs);
    SetTitleFile(m_fileCount == 1 ? sourceName : QString());
    m_duplicates.Refresh(m_programs);
    PopulateGrid();
    if (m_duplicates.IsActive())
        ShowStatusMessage(m_duplicates.Summary());
}

void CMainFrame::AttachMidiInput(IMidiInService& midiIn, IMidiPortWatcher* portWatcher)
{
    m_synth = new CSynthCommands(*this, m_services, midiIn);
    SetTransfer(m_synth);
    if (portWatcher != nullptr)
        new CMidiPortFollower(*this, *portWatcher, m_services);
}
