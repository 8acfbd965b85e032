#include "FrameTestSupport.h"

#include "DumpWriter.h"
#include "Resources.h"
#include "SyxProgram.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>

CFrameFixture::CFrameFixture() = default;

CFrameFixture::~CFrameFixture()
{
    frame.reset();
}

CMainFrame& CFrameFixture::Create(IMidiInService* midiIn, IMidiPortWatcher* portWatcher)
{
    CUiServices services;
    services.messageBox = &messageBox;
    services.fileDialogs = &fileDialogs;
    services.waitCursor = &waitCursor;
    services.profile = &profile;
    services.questions = &questions;
    frame = std::make_unique<CMainFrame>(services, midi, [this] { ++aboutCalls; });
    frame->PreCreateWindow();
    frame->OnCreate();
    features = ComposeWindow(*frame, services, midiIn, portWatcher);
    frame->SetMidiSendTimeout(2000);
    Idle();
    return *frame;
}

void CFrameFixture::Idle()
{
    QCoreApplication::processEvents();
    frame->Updater().UpdateAll();
}

QString CFrameFixture::PaneText(const char* name) const
{
    return frame->findChild<QLabel*>(name)->text();
}

std::vector<unsigned char> MakeProgram(const std::string& name, int voiceMode, int seed)
{
    std::vector<unsigned char> data(PROGRAM_DATA_SIZE);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>((i * 31 + seed * 17) & 0xFF);
    for (size_t i = 0; i < 12; ++i)
        data[i] = i < name.size() ? static_cast<unsigned char>(name[i]) : ' ';
    data[16] = static_cast<unsigned char>((voiceMode & 3) << 4);
    return data;
}

QString WriteDump(const QString& path, const std::vector<std::vector<unsigned char>>& programs,
                  unsigned char function)
{
    const std::vector<unsigned char> bytes = BuildDumpMessage(function, programs);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

void CFrameFixture::Find(const QString& text)
{
    QTimer::singleShot(0, [text] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;   // the Find command showed nothing; the test's checks then fail
        dialog->findChild<QLineEdit*>()->setText(text);
        static_cast<QDialog*>(dialog)->accept();
    });
    frame->Action(ID_EDIT_FIND)->trigger();
    Idle();
}
