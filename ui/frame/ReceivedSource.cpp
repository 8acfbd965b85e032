// The main window's library gains a source that is not a file: a dump received from the
// synthesizer, and the frame's hook for the MIDI input side.

#include "MainFrame.h"
#include "collection/CollectionFeatures.h"
#include "grid/ProgramGrid.h"
#include "services/WaitCursor.h"
#include "synth/MidiPortFollower.h"
#include "synth/SynthCommands.h"

bool CMainFrame::AddLibrarySource(const std::vector<unsigned char>& dump, const QString& sourceName,
                                  std::string& error)
{
    CWaitCursor wait(*m_services.waitCursor);
    if (!m_programs.ReadSyxBytes(dump.data(), dump.size(), error, sourceName.toStdString()))
        return false;
    ++m_fileCount;
    m_librarySources.AddFile(sourceName, m_programs);
    m_wndGrid->SetSortIndicator(-1);   // the new programs are at the end, unsorted
    SetTitleFile(m_fileCount == 1 ? sourceName : QString());
    m_duplicates.Refresh(m_programs);
    PopulateGrid();
    if (m_duplicates.IsActive())
        ShowStatusMessage(m_duplicates.Summary());
    for (const DumpAddedHandler& handler : m_dumpAddedHandlers)
        handler(dump, sourceName);
    return true;
}

void CMainFrame::AttachMidiInput(IMidiInService& midiIn, IMidiPortWatcher* portWatcher)
{
    m_synth = new CSynthCommands(*this, m_services, midiIn);
    if (m_collection)
        TakeInReceives(*m_collection, *m_synth);
    SetTransfer(m_synth);
    if (portWatcher != nullptr)
        new CMidiPortFollower(*this, *portWatcher, m_services);
}
