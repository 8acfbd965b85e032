#include "MidiConnection.h"

#include "MidiPortModel.h"
#include "PortChoice.h"

CMidiConnection::~CMidiConnection()
{
    if (m_hIn != nullptr)
        m_in.CloseIn(m_hIn);
    if (m_hOut != nullptr)
        m_out.Close(m_hOut);
}

bool CMidiConnection::Open(const CCliPort& port, bool withInput, std::string& error)
{
    const int outCode = m_out.OpenPort(&m_hOut, port.address, port.productName, &m_done);
    if (outCode != 0) {
        m_hOut = nullptr;
        error = FormatOpenError(m_out.GetErrorText(outCode));
        return false;
    }
    if (!withInput)
        return true;
    const int inCode = m_in.OpenInPort(&m_hIn, port.address, port.productName);
    if (inCode != 0) {
        m_hIn = nullptr;
        error = FormatOpenError(m_in.GetErrorText(inCode));
        return false;
    }
    return true;
}
