#pragma once
// Program > "Find Synthesizer": asks every hardware port that can answer which synthesizers of
// this family are there (the device inquiry, on every channel at once), for up to a second,
// as a transfer with its dialog. One answer: its port and channel are chosen in the MIDI bar
// and Midi Active is ticked, with a note in the status bar. Several: a list to pick from.
// None: a message naming the ports asked and the usual causes.

#include "FindSynthesizer.h"
#include "services/CommandTable.h"
#include "services/CommandUpdater.h"
#include "services/UiServices.h"

#include <QObject>

#include <functional>

class CSynthCommands;
class ICommandHost;
class IMidiInService;
class IMidiLink;
class QAction;

class CFindSynthCommand : public QObject {
    Q_OBJECT
public:
    CFindSynthCommand(ICommandHost& host, IMidiLink& midi, CSynthCommands& synth, IMidiInService& midiIn,
                      const CUiServices& services);

    QAction* Action() const;
    // Called with the port chosen for the synthesizer found: the user's choice, as if picked
    // in the port list.
    using PortChosenHandler = std::function<void(const CMidiPortItem& port)>;
    void WhenPortChosen(PortChosenHandler handler) { m_portChosen = std::move(handler); }
    // Tests shorten the wait for the answers.
    void SetListenForTests(unsigned int listenMs) { m_listenMs = listenMs; }

    void OnProgramFindSynth();
    void OnUpdateProgramFindSynth(CCmdUI& cmdUI);

private:
    void OnSearched(const CSynthSearch& search);
    void Choose(const CFoundSynth& found);

    ICommandHost& m_host;
    IMidiLink& m_midi;
    CSynthCommands& m_synth;
    IMidiInService& m_midiIn;
    CUiServices m_services;
    CCommandTable m_commands;
    unsigned int m_listenMs = FIND_SYNTH_LISTEN_MS;
    PortChosenHandler m_portChosen;
};
