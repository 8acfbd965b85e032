#include "VeltrixApp.h"

#include "AboutDlg.h"
#include "AlsaMidiInService.h"
#include "AlsaMidiOutService.h"
#include "AlsaPortWatcher.h"
#include "Composition.h"
#include "MainFrame.h"

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
    const CWindowFeatures features = ComposeWindow(*m_mainFrame, services, m_midiIn.get(), m_portWatcher.get());
    m_mainFrame->show();
    ReopenLastBank(*m_mainFrame, features);

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
    ::OpenCommandLineFiles(*m_mainFrame, arguments);
}

void CVeltrixApp::OnAppAbout()
{
    CAboutDlg about(m_mainFrame.get());
    about.exec();
}
