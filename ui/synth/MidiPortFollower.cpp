#include "MidiPortFollower.h"

#include "MidiPortModel.h"
#include "PortWatcher.h"
#include "host/MidiLink.h"
#include "services/MessageBoxService.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QSocketNotifier>

CMidiPortFollower::CMidiPortFollower(IMidiLink& midi, QWidget* window, IMidiPortWatcher& watcher,
                                     const CUiServices& services)
    : QObject(window), m_midi(midi), m_window(window), m_watcher(watcher), m_services(services),
      m_chosen(midi.MidiPorts().GetSelectedPort())
{
    for (const pollfd& descriptor : m_watcher.GetPollDescriptors()) {
        auto* notifier = new QSocketNotifier(descriptor.fd, QSocketNotifier::Read, this);
        connect(notifier, &QSocketNotifier::activated, this, &CMidiPortFollower::OnWatcherReadable);
    }
    // Only the user's own choices count as the port to come back to.
    connect(midi.MidiPortList(), &QComboBox::activated, this,
            [this] { m_chosen = m_midi.MidiPorts().GetSelectedPort(); });
}

void CMidiPortFollower::OnWatcherReadable()
{
    if (m_watcher.ReadChanges())
        RefillPorts();
}

void CMidiPortFollower::RefillPorts()
{
    CMidiPortModel& ports = m_midi.MidiPorts();
    QComboBox* list = m_midi.MidiPortList();
    const CMidiPortItem selected = ports.GetSelectedPort();
    const bool hadPorts = !ports.GetPorts().empty();
    const bool wasOpen = m_midi.IsMidiOpen();

    ports.FillPorts();
    // A port is known by its address and product name: its number (" #2") and device id may
    // change as a port of the same name comes or goes.
    int selection = ports.FindPort(selected);
    const bool openPortGone = wasOpen && selection < 0;
    if (!wasOpen) {
        // Back to the port the user chose when it is there again. No other port is chosen in
        // place of one that went: it may be another synthesizer of the same model.
        const int chosen = ports.FindPort(m_chosen);
        if (chosen >= 0)
            selection = chosen;
        if (selection < 0 && !hadPorts && !ports.GetPorts().empty())
            selection = 0;   // the first ports to come: as at start
    }

    {
        const QSignalBlocker quiet(list);
        list->clear();
        for (const CMidiPortItem& port : ports.GetPorts())
            list->addItem(QString::fromStdString(port.name), port.deviceId);
        list->setCurrentIndex(selection);
    }
    ports.SelectPort(selection);

    if (!openPortGone)
        return;
    const bool transferStopped = m_midi.IsTransferRunning();
    // As unticking Midi Active does: a transfer ends first, the port closes, the lists open.
    m_midi.CloseMidi();
    QString text = QString("The MIDI port %1 went away (unplugged or switched off), so MIDI is now off.")
                       .arg(QString::fromStdString(selected.name));
    if (transferStopped)
        text += " The transfer with the synthesizer was stopped; nothing of it was kept.";
    text += " Tick Midi Active again once a port is back.";
    m_services.messageBox->Show(m_window, text, MessageIcon::Exclamation);
}
