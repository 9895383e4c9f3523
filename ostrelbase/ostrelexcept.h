// XException: the one exception type of the library.
#ifndef OSTREL_OSTRELEXCEPT_H
#define OSTREL_OSTRELEXCEPT_H

#include <ostrelbase/ostrelexport.h>

#include <string>

namespace Ostrel {

// An error: its message, and the source file and line of the statement that threw it.
// A plain value type; every failure of the library arrives as one of these.
class OSTREL_API XException {
public:
    // Message "No error message found.", source ".\ostrelexcept.h", line 49.
    XException();
    // Message, source file (must not be null) and source line of the throw site.
    XException(std::string msg, const char* sourceFile, int sourceLine);
    XException(const XException& other);
    XException& operator=(const XException& other);
    ~XException();

    const std::string& GetMsg() const;
    void SetMsg(const std::string& msg);
    const std::string& GetSourceFile() const;
    void SetSourceFile(const std::string& file);
    OSTREL_CONST_RETURN_BEGIN
    const int GetSourceLine() const;
    OSTREL_CONST_RETURN_END
    void SetSourceLine(int line);

    // "Error in '<file>', line <n>." — the location only, never the message.
    const std::string GetErrorLocation();

private:
    std::string m_msg;
    std::string m_sourceFile;
    int m_sourceLine;
};

} // namespace Ostrel

// Throws an XException that records the file and line of the throw site.
#define OSTREL_THROW(msg) throw ::Ostrel::XException((msg), __FILE__, __LINE__)

#endif
