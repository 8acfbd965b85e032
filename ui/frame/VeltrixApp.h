#pragma once
// The application object: the real services, the MIDI backend and the main window.

#include "services/FileDialogService.h"
#include "services/MessageBoxService.h"
#include "services/Profile.h"
#include "services/QuestionService.h"
#include "services/UiServices.h"
#include "services/WaitCursor.h"

#include <QStringList>

#include <memory>

class CMainFrame;
class IMidiOutService;

class CVeltrixApp {
public:
    CVeltrixApp();
    ~CVeltrixApp();

    // Creates, places and shows the main window. Returns true.
    bool InitInstance();
    // `veltrix FILE...`: opens the files (a folder gives its .syx files) as Open would, once
    // the window is shown and the event loop runs.
    void OpenCommandLineFiles(const QStringList& arguments);
    // Help > About.
    void OnAppAbout();

    CMainFrame* MainFrame() const { return m_mainFrame.get(); }

private:
    CQtMessageBoxService m_messageBox;
    CQtFileDialogService m_fileDialogs;
    CQtWaitCursorService m_waitCursor;
    CQtQuestionService m_questions;
    std::unique_ptr<CSettingsProfile> m_profile;
    std::unique_ptr<IMidiOutService> m_midi;
    std::unique_ptr<CMainFrame> m_mainFrame;
};
