#include "VeltrixApp.h"

#include "AboutDlg.h"
#include "AlsaMidiInService.h"
#include "AlsaMidiOutService.h"
#include "AlsaPortWatcher.h"
#include "MainFrame.h"
#include "desktop/SyxPaths.h"

#include <QStatusBar>
#include <QTimer>

CVeltrixApp::CVeltrixApp() = default;

CVeltrixApp::~CVeltrixApp()
{
    m_mainFrame.reset();   // closes the MIDI device before the service goes
}

bool CVeltrixApp::InitInstance()
{
    m_profile = std::make_unique<CSettingsProfile>();
    m_midi = std::make_unique<CAlsaMidiOutService>();
    m_midiIn = std::make_unique<CAlsaMidiInService>(*m_midi);
    m_portWatcher = std::make_unique<CAlsaPortWatcher>();

    CUiServices services;
    services.messageBox = &m_messageBox;
    services.fileDialogs = &m_fileDialogs;
    services.waitCursor = &m_waitCursor;
    services.profile = m_profile.get();
    services.questions = &m_questions;

    m_mainFrame = std::make_unique<CMainFrame>(services, *m_midi, [this] { OnAppAbout(); });
    m_mainFrame->PreCreateWindow();
    m_mainFrame->OnCreate();
    m_mainFrame->AttachMidiInput(*m_midiIn, m_portWatcher.get());
    m_mainFrame->show();

    const QString setAside = m_profile->SetAsideFile();
    if (!setAside.isEmpty())
        m_messageBox.Show(m_mainFrame.get(),
                          QString("The settings file could not be read, so Veltrix starts with its default "
                                  "settings. The unreadable file was kept as %1.").arg(setAside),
                          MessageIcon::Exclamation);
    return true;
}

void CVeltrixApp::OpenCommandLineFiles(const QStringList& arguments)
{
    QStringList notes;
    const QStringList paths = CommandLineFiles(arguments, &notes);
    if (paths.isEmpty() && notes.isEmpty())
        return;
    CMainFrame* frame = m_mainFrame.get();
    QTimer::singleShot(0, frame, [frame, paths, notes] {
        frame->OpenFiles(paths, CMainFrame::ReadFailures::OneBoxAtEnd);
        if (!notes.isEmpty())
            frame->statusBar()->showMessage(notes.join("; "));
    });
}

void CVeltrixApp::OnAppAbout()
{
    CAboutDlg about(m_mainFrame.get());
    about.exec();
}
