// The scanner's public face, and the pieces its prolog and content parts share.
#include "ostrelxml/scanner_impl.h"

#include "ostrelxml/references.h"
#include "ostrelxml/xmlchars.h"

#include <algorithm>
#include <cctype>

namespace ostrel_xml {

Scanner::Impl::Impl(std::FILE* stream, std::string file, bool preprocessMode,
                    EntitySeeder entitySeeder)
    : in(stream, std::move(file)),
      preprocess(preprocessMode),
      seeder(std::move(entitySeeder)),
      names(static_cast<bool>(seeder)) {}

bool Scanner::Impl::readName(std::string& out) {
    long c = in.peekChar();
    if (c < 0 || !isNameStart(c)) return false;
    in.take(&out);
    for (;;) {
        c = in.peekChar();
        if (c < 0 || !isNameChar(c)) return true;
        in.take(&out);
    }
}

bool Scanner::Impl::readName(std::string_view& out) {
    const char* p = in.data();
    const size_t n = in.available();
    if (n > 0 && kAsciiNames.start[static_cast<unsigned char>(p[0])]) {
        // The NUL behind the buffered bytes ends every name.
        const bool* nameChar = kAsciiNames.name;
        size_t i = 1;
        while (nameChar[static_cast<unsigned char>(p[i])] &&
               nameChar[static_cast<unsigned char>(p[i + 1])])
            i += 2;
        if (nameChar[static_cast<unsigned char>(p[i])]) ++i;
        // Ended by an ASCII byte inside the buffer: the whole name is here.
        if (i < n && static_cast<unsigned char>(p[i]) < 0x80) {
            out = std::string_view(p, i);
            in.skip(i);
            nameAscii = true;
            return true;
        }
    }
    nameBuffer.clear();
    if (!readName(nameBuffer)) return false;
    out = nameBuffer;
    nameAscii = std::all_of(nameBuffer.begin(), nameBuffer.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return true;
}

namespace {
const RunTable kCommentRun = runUntil("-", true);
const RunTable kInstructionRun = runUntil("?", true);
} // namespace

void Scanner::Impl::readComment() {
    const long long cl = in.line(), cc = in.column();
    in.skip(4);
    for (;;) {
        in.scan(kCommentRun);
        const int b = in.peek();
        if (b < 0)
            failAt(cl, cc, "the file ends inside the comment that begins here: expected '-->'");
        if (b == '-' && in.peek(1) == '-') {
            if (in.peek(2) != '>') in.fail("'--' is not allowed inside a comment");
            in.skip(3);
            return;
        }
        in.take(nullptr);
    }
}

void Scanner::Impl::readProcessingInstruction() {
    const long long pl = in.line(), pc = in.column();
    in.skip(2);
    std::string target;
    if (!readName(target))
        in.fail("expected the target of a processing instruction after '<?', found " + found());
    if (target.size() == 3 && std::tolower(static_cast<unsigned char>(target[0])) == 'x' &&
        std::tolower(static_cast<unsigned char>(target[1])) == 'm' &&
        std::tolower(static_cast<unsigned char>(target[2])) == 'l') {
        if (target == "xml")
            failAt(pl, pc, "the XML declaration is allowed only at the very start of the file");
        failAt(pl, pc, "processing instruction target '" + target + "' is reserved");
    }
    if (!in.lookingAt("?>") && !skipSpace())
        in.fail("expected white space or '?>' after the processing instruction target '" +
                target + "', found " + found());
    for (;;) {
        in.scan(kInstructionRun);
        if (in.peek() < 0)
            failAt(pl, pc, "the file ends inside the processing instruction that begins "
                           "here: expected '?>'");
        if (in.peek() == '?' && in.peek(1) == '>') {
            in.skip(2);
            return;
        }
        in.take(nullptr);
    }
}

void Scanner::Impl::readRawReference(std::string& out) {
    out.assign(1, '&');
    in.skip(1);
    for (;;) {
        const long c = in.peekChar();
        if (c == ';') {
            in.skip(1);
            out += ';';
            return;
        }
        if (c < 0 || !continuesReference(c)) return;
        in.take(&out);
    }
}

// --- public interface ---------------------------------------------------------------

Scanner::Scanner(std::FILE* stream, std::string fileName, bool preprocess, EntitySeeder seeder)
    : m_impl(new Impl(stream, std::move(fileName), preprocess, std::move(seeder))) {}

Scanner::~Scanner() { delete m_impl; }

const char* Scanner::name() const { return m_impl->name; }
std::string_view Scanner::nameView() const { return {m_impl->name, m_impl->nameLength}; }
const std::vector<Attribute>& Scanner::attributes() const { return m_impl->attributes; }
const std::string& Scanner::text() const {
    Impl& impl = *m_impl;
    if (impl.textData != impl.text.data()) {
        impl.text.assign(impl.textData, impl.textSize);
        impl.textData = impl.text.data();
    }
    return impl.text;
}
std::string_view Scanner::textView() const { return {m_impl->textData, m_impl->textSize}; }
bool Scanner::isWhitespace() const {
    return m_impl->blank || isBlank(m_impl->textData, m_impl->textSize);
}

void Scanner::skipBlankText() {
    if (m_impl->event == Event::StartElement) m_impl->open.back().skipBlank = true;
}
void Scanner::attachBlankText() { m_impl->attachBlanks = true; }
std::string_view Scanner::blankBefore() const { return m_impl->blankBefore; }
int Scanner::line() const { return clampPosition(m_impl->line); }
int Scanner::column() const { return clampPosition(m_impl->column); }
const std::string& Scanner::doctypeName() const { return m_impl->doctypeName; }
const std::string& Scanner::systemId() const { return m_impl->systemId; }
const Dtd& Scanner::dtd() const { return m_impl->dtd; }
long long Scanner::bytesRead() const { return m_impl->in.bytesRead(); }
int Scanner::depth() const { return static_cast<int>(m_impl->open.size()); }
void Scanner::setMaxDepth(int depth) { m_impl->maxDepth = depth < 1 ? 1 : depth; }
void Scanner::setTypeEntities(const Ostrel::_TextEntity* entities) {
    m_impl->typeEntities = entities;
}
const std::string& Scanner::fileName() const { return m_impl->in.fileName(); }

const char* Scanner::entityTextInTable(const std::string& entity) const {
    return m_impl->entities.tableText(entity);
}

void Scanner::fail(const std::string& what) const {
    m_impl->failAt(m_impl->line, m_impl->column, what);
}

void Scanner::failAt(int line, int column, const std::string& what) const {
    m_impl->failAt(line, column, what);
}

std::string peekRootName(const std::string& fileName) {
    std::FILE* stream = std::fopen(fileName.c_str(), "rb");
    if (!stream) return "";
    std::string root;
    try {
        Scanner scanner(stream, fileName, false, EntitySeeder());
        if (scanner.next() == Event::StartElement) root = scanner.name();
    } catch (...) {
        root.clear();
    }
    std::fclose(stream);
    return root;
}

} // namespace ostrel_xml
