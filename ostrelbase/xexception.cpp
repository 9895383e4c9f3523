#include <ostrelbase/ostrelexcept.h>

namespace Ostrel {

// A default exception names the exception header as its origin.
XException::XException()
    : m_msg("No error message found."), m_sourceFile(".\\ostrelexcept.h"), m_sourceLine(49) {}

XException::XException(std::string msg, const char* sourceFile, int sourceLine)
    : m_msg(std::move(msg)), m_sourceFile(sourceFile), m_sourceLine(sourceLine) {}

XException::XException(const XException& other) = default;

XException& XException::operator=(const XException& other) {
    if (this != &other) {
        m_msg = other.m_msg;
        m_sourceFile = other.m_sourceFile;
        m_sourceLine = other.m_sourceLine;
    }
    return *this;
}

XException::~XException() = default;

const std::string& XException::GetMsg() const { return m_msg; }
void XException::SetMsg(const std::string& msg) { m_msg = msg; }
const std::string& XException::GetSourceFile() const { return m_sourceFile; }
void XException::SetSourceFile(const std::string& file) { m_sourceFile = file; }
OSTREL_CONST_RETURN_BEGIN
const int XException::GetSourceLine() const { return m_sourceLine; }
OSTREL_CONST_RETURN_END
void XException::SetSourceLine(int line) { m_sourceLine = line; }

const std::string XException::GetErrorLocation() {
    return "Error in '" + m_sourceFile + "', line " + std::to_string(m_sourceLine) + ".";
}

} // namespace Ostrel
