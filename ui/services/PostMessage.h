#pragma once
#include <QEvent>

class QObject;

// The message the grid posts to the main window.
constexpr unsigned int WM_USER = 0x0400;

// A message with two integers, delivered later through the event loop on the receiver's
// thread, after the poster's own handling has returned. The receiver handles it in its
// event() override.
class CPostedMessageEvent : public QEvent {
public:
    static QEvent::Type EventType();

    CPostedMessageEvent(unsigned int message, long long wParam, long long lParam);

    unsigned int Message() const { return m_message; }
    long long WParam() const { return m_wParam; }
    long long LParam() const { return m_lParam; }

private:
    unsigned int m_message;
    long long m_wParam;
    long long m_lParam;
};

// The application's main window, the receiver of posted messages; null when there is none.
void SetMainWindow(QObject* window);
QObject* GetMainWindow();

// Posts the message to the main window. Returns false, posting nothing, when there is none.
bool PostMessageToMainWindow(unsigned int message, long long wParam, long long lParam);
