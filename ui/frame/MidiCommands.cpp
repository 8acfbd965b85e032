// The main window's MIDI side: the port and channel lists, "Midi Active", and sending a
// program for Audition and Random.

#include "MainFrame.h"
#include "Resources.h"
#include "RandomProgram.h"
#include "library/SelectedRows.h"
#include "grid/ProgramGrid.h"
#include "services/MessageBoxService.h"
#include "services/Profile.h"
#include "services/WaitCursor.h"

#include <QCheckBox>
#include <QComboBox>

#include <memory>

void CMainFrame::FillMidiPortList()
{
    m_midiPorts.FillPorts();
    m_cbMidiPort->clear();
    for (const CMidiPortItem& port : m_midiPorts.GetPorts())
        m_cbMidiPort->addItem(QString::fromStdString(port.name), port.deviceId);
    m_cbMidiPort->setCurrentIndex(-1);
    connect(m_cbMidiPort, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_midiPorts.SelectPort(index); });
}

void CMainFrame::FillMidiChannelList()
{
    m_cbMidiChan->clear();
    for (const CMidiChannelItem& channel : m_midiPorts.GetChannels())
        m_cbMidiChan->addItem(QString::fromStdString(channel.text), channel.channel);
    m_cbMidiChan->setCurrentIndex(-1);
    connect(m_cbMidiChan, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_midiPorts.SelectChannel(index); });
}

void CMainFrame::RestoreMidiChoice()
{
    IProfile& profile = *m_services.profile;
    const QString port = profile.GetProfileString("midi", "port", QString());
    const QString address = profile.GetProfileString("midi", "address", QString());
    m_cbMidiPort->setCurrentIndex(m_midiPorts.RestorePort(port.toStdString(), address.toStdString()));
    const int channel = profile.GetProfileInt("midi", "chan", 0);
    m_cbMidiChan->setCurrentIndex(m_midiPorts.RestoreChannel(channel));
}

void CMainFrame::OnMidiActive()
{
    if (m_btnMidiActive->isChecked()) {
        std::string error;
        if (m_midiPorts.Open(m_hMidiOut, m_midiDone, error)) {
            m_cbMidiChan->setEnabled(false);
            m_cbMidiPort->setEnabled(false);
            return;
        }
        // The box keeps its tick; the next click unticks it, and the one after tries again.
        m_services.messageBox->Show(this, QString::fromStdString(error), MessageIcon::Stop);
        m_hMidiOut = nullptr;
        return;
    }
    CloseMidiOut();
    m_cbMidiChan->setEnabled(true);
    m_cbMidiPort->setEnabled(true);
}

void CMainFrame::CloseMidiOut()
{
    if (m_transfer != nullptr)
        m_transfer->CancelAndWait();   // a transfer on the port ends before the port closes
    m_midiPorts.Close(m_hMidiOut);
}

void CMainFrame::CloseMidi()
{
    m_btnMidiActive->setChecked(false);
    OnMidiActive();
}

bool CMainFrame::OpenMidiOn(const CMidiPortItem& port, int channel)
{
    const int portIndex = m_midiPorts.FindPort(port);
    if (portIndex < 0 || channel < 0 || channel >= MIDI_CHANNEL_COUNT)
        return false;
    if (IsMidiOpen() && portIndex == m_midiPorts.GetPortSelection() && channel == SelectedChannel())
        return true;
    if (m_btnMidiActive->isChecked())
        CloseMidi();
    // The lists' own signals carry the choice into the port model, as the user's would.
    m_cbMidiPort->setCurrentIndex(portIndex);
    m_cbMidiChan->setCurrentIndex(channel);
    m_btnMidiActive->setChecked(true);
    OnMidiActive();
    return IsMidiOpen();
}

int CMainFrame::SelectedChannel() const
{
    return m_midiPorts.GetSelectedChannel();
}

bool CMainFrame::SendMessage(const CProgramMessage& message)
{
    if (IsTransferRunning())
        return false;   // a transfer has the port (a floating bank pane is not blocked by its dialog)
    std::string error;
    // A send asked for while one goes out (a held key's repeat) is dropped.
    const bool passed = m_sendGate.Pass([&] {
        SendProgramMessage(m_midi, m_hMidiOut, m_midiDone, message, error, m_midiSendTimeoutMs);
    });
    if (passed && !error.empty())
        m_services.messageBox->Show(this, QString::fromStdString(error), MessageIcon::Stop);
    return passed;
}

void CMainFrame::OnProgramAudition()
{
    CWaitCursor wait(*m_services.waitCursor);
    const int row = m_wndGrid->GetSelectedRow();
    if (row < 0 || row >= m_programs.GetSize() || m_hMidiOut == nullptr)
        return;
    const CSyxProgram* program = m_programs.GetAt(row);
    CProgramMessage message;
    if (BuildProgramMessage(program->GetData(), program->GetLength(), SelectedChannel(), message))
        SendMessage(message);
}

void CMainFrame::AuditionProgram(const CSyxProgram& program)
{
    CWaitCursor wait(*m_services.waitCursor);
    CProgramMessage message;
    if (m_hMidiOut != nullptr && BuildProgramMessage(program.GetData(), program.GetLength(), SelectedChannel(), message))
        SendMessage(message);
}

void CMainFrame::OnProgramRandom()
{
    CWaitCursor wait(*m_services.waitCursor);
    if (m_hMidiOut == nullptr || m_sendGate.IsShut())
        return;
    SendRandomProgram(std::unique_ptr<CSyxProgram>(m_programs.CreateRandomProgram()));
}

void CMainFrame::OnProgramRandomFromSelection()
{
    CWaitCursor wait(*m_services.waitCursor);
    if (m_hMidiOut == nullptr)
        return;
    const std::vector<const CSyxProgram*> selected = SelectedPrograms();
    if (selected.size() < 2)
        return;
    SendRandomProgram(std::unique_ptr<CSyxProgram>(CreateRandomProgramFrom(selected)));
}

void CMainFrame::OnUpdateProgramRandomFromSelection(CCmdUI& cmdUI)
{
    const bool several = HasSeveralSelectedRows(*m_wndGrid);
    cmdUI.EnableIf(m_hMidiOut != nullptr && several, m_hMidiOut == nullptr ? NeedsMidiFirst() : NeedsTwoRowsFirst());
}

void CMainFrame::SendRandomProgram(std::unique_ptr<CSyxProgram> program)
{
    if (!program)
        return;
    CProgramMessage message;
    if (!BuildProgramMessage(program->GetData(), program->GetLength(), SelectedChannel(), message))
        return;
    program.reset();
    if (!SendMessage(message))
        return;   // dropped: never heard, so not the last random program either

    // Kept for saving, whatever the send reported; a saved file always says channel 1.
    std::copy(message.bytes, message.bytes + message.length, m_lastRandom);
    m_lastRandomLen = message.length;
    m_lastRandom[2] = 0x30;
}
