#pragma once
// Keeps the Midi Port list true while ports come and go (a USB interface plugged in or
// pulled out): the port watcher's descriptors are watched with QSocketNotifier, and on its
// news the list is filled again. Device ids change with the list; a port that stays keeps
// its selection (known by its address and product name), and the port the user chose is
// chosen again when it comes back; no other port is chosen in place of one that went. When the open port goes away MIDI is closed as unticking Midi
// Active closes it (a transfer on it is stopped first), and the user is told which port
// went.

#include "MidiPortList.h"
#include "services/UiServices.h"

#include <QObject>

#include <string>

class IMidiLink;
class IMidiPortWatcher;
class QWidget;

class CMidiPortFollower : public QObject {
    Q_OBJECT
public:
    // Follows the port list of `midi`; `window` is the parent of the message.
    CMidiPortFollower(IMidiLink& midi, QWidget* window, IMidiPortWatcher& watcher, const CUiServices& services);

    // Fills the port list again from the MIDI service now.
    void RefillPorts();
    // `port` is the one the user chose (by another way than the list: Find Synthesizer).
    void SetChosenPort(const CMidiPortItem& port) { m_chosen = port; }

private:
    void OnWatcherReadable();

    IMidiLink& m_midi;
    QWidget* m_window;
    IMidiPortWatcher& m_watcher;
    CUiServices m_services;
    CMidiPortItem m_chosen;   // the port the user chose last (or the one restored at start)
};
