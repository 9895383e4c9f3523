#include "xkb_generator.h"

#include "support/plain_escape.h"

#include <cstdio>
#include <memory>
#include <stdexcept>

namespace ostrel_bench {

namespace {

// Small, fast, deterministic generator: the documents must not depend on the library.
class Random {
public:
    explicit Random(std::uint32_t seed) : m_state(seed * 2654435761u + 1) {}
    std::uint32_t next() {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return m_state;
    }
    std::uint32_t below(std::uint32_t n) { return next() % n; }

private:
    std::uint32_t m_state;
};

const char* const kSyllables[] = {"ka", "lo", "ri", "sen", "ta", "mu", "dor", "vi", "ne", "qu",
                                  "ba", "zel", "or", "pi", "ha", "xu", "gre", "ton"};
const char* const kWords[] = {"Generic", "Ergonomic", "Compact", "Extended", "Phonetic",
                              "Legacy", "Dvorak", "Mac", "Typewriter", "Programmer",
                              "Français", "Deutsch", "Español", "Ελληνικά", "Русская",
                              "日本語", "Český", "Norsk", "Türkçe", "Føroyskt"};
// Descriptions carry the five special characters now and then.
const char* const kExtras[] = {"", "", "", " (with dead keys)", " & AltGr", " <Pro>",
                               " \"Ultra\"", " 'classic'", " — 105 keys", " ½ size"};
const char* const kCountries[] = {"US", "GB", "DE", "FR", "ES", "GR", "RU", "JP", "CZ",
                                  "NO", "TR", "FO", "BR", "IN", "CN", "KR"};
const char* const kLanguages[] = {"eng", "deu", "fra", "spa", "ell", "rus", "jpn", "ces",
                                  "nor", "tur", "fao", "por", "hin", "zho", "kor"};

template <std::size_t N>
const char* pick(Random& r, const char* const (&list)[N]) {
    return list[r.below(N)];
}

class Writer {
public:
    explicit Writer(const std::string& path) : m_file(std::fopen(path.c_str(), "wb")) {
        if (!m_file) throw std::runtime_error("cannot open " + path);
        m_buffer.reserve(1 << 20);
    }
    ~Writer() {
        if (m_file) std::fclose(m_file);
    }
    void put(const std::string& s) {
        m_buffer += s;
        if (m_buffer.size() >= (1 << 20)) drain();
    }
    void line(int indent, const std::string& s) {
        m_buffer.append(static_cast<std::size_t>(indent) * 2, ' ');
        m_buffer += s;
        m_buffer += '\n';
        if (m_buffer.size() >= (1 << 20)) drain();
    }
    std::uint64_t written() const { return m_total + m_buffer.size(); }
    void finish() {
        drain();
        if (std::fclose(m_file) != 0) {
            m_file = nullptr;
            throw std::runtime_error("cannot write the generated file");
        }
        m_file = nullptr;
    }

private:
    void drain() {
        if (!m_buffer.empty() && std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
            throw std::runtime_error("cannot write the generated file");
        m_total += m_buffer.size();
        m_buffer.clear();
    }
    std::FILE* m_file;
    std::string m_buffer;
    std::uint64_t m_total = 0;
};

std::string identifier(Random& r, std::uint64_t serial) {
    std::string name;
    for (std::uint32_t i = 0, n = 2 + r.below(2); i < n; ++i) name += pick(r, kSyllables);
    return name + std::to_string(serial);
}

std::string description(Random& r) {
    std::string text = pick(r, kWords);
    text += ' ';
    text += pick(r, kWords);
    text += pick(r, kExtras);
    return ostrel_test::plainEscape(text);
}

void leaf(Writer& w, int indent, const char* tag, const std::string& text) {
    w.line(indent, std::string("<") + tag + ">" + text + "</" + tag + ">");
}

void configItem(Writer& w, Random& r, int indent, std::uint64_t serial, bool lists) {
    const bool exotic = r.below(8) == 0;
    w.line(indent, exotic ? "<configItem popularity=\"exotic\">" : "<configItem>");
    leaf(w, indent + 1, "name", identifier(r, serial));
    if (lists) leaf(w, indent + 1, "shortDescription", pick(r, kLanguages));
    leaf(w, indent + 1, "description", description(r));
    if (!lists && r.below(2) == 0) leaf(w, indent + 1, "vendor", pick(r, kWords));
    if (lists) {
        w.line(indent + 1, "<countryList>");
        for (std::uint32_t i = 0, n = 1 + r.below(3); i < n; ++i)
            leaf(w, indent + 2, "iso3166Id", pick(r, kCountries));
        w.line(indent + 1, "</countryList>");
        w.line(indent + 1, "<languageList>");
        for (std::uint32_t i = 0, n = 1 + r.below(3); i < n; ++i)
            leaf(w, indent + 2, "iso639Id", pick(r, kLanguages));
        w.line(indent + 1, "</languageList>");
    }
    w.line(indent, "</configItem>");
}

} // namespace

std::uint64_t generateXkbRegistry(const std::string& path, std::uint64_t targetBytes,
                                  std::uint32_t seed) {
    Random r(seed);
    Writer w(path);
    std::uint64_t serial = 0;
    w.line(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    w.line(0, "<!DOCTYPE xkbConfigRegistry SYSTEM \"xkb.dtd\">");
    w.line(0, "<xkbConfigRegistry version=\"1.1\">");

    // Models take a tenth of the document, layouts seven tenths, options the rest.
    w.line(1, "<modelList>");
    do {
        w.line(2, "<model>");
        configItem(w, r, 3, ++serial, false);
        w.line(2, "</model>");
    } while (w.written() < targetBytes / 10);
    w.line(1, "</modelList>");

    w.line(1, "<layoutList>");
    do {
        w.line(2, "<layout>");
        configItem(w, r, 3, ++serial, true);
        const std::uint32_t variants = r.below(5);
        if (variants > 0) {
            w.line(3, "<variantList>");
            for (std::uint32_t i = 0; i < variants; ++i) {
                w.line(4, "<variant>");
                configItem(w, r, 5, ++serial, r.below(2) == 0);
                w.line(4, "</variant>");
            }
            w.line(3, "</variantList>");
        }
        w.line(2, "</layout>");
    } while (w.written() < targetBytes / 10 * 8);
    w.line(1, "</layoutList>");

    w.line(1, "<optionList>");
    do {
        w.line(2, r.below(3) == 0 ? "<group allowMultipleSelection=\"true\">" : "<group>");
        configItem(w, r, 3, ++serial, false);
        for (std::uint32_t i = 0, n = 3 + r.below(8); i < n; ++i) {
            w.line(3, "<option>");
            configItem(w, r, 4, ++serial, false);
            w.line(3, "</option>");
        }
        w.line(2, "</group>");
    } while (w.written() < targetBytes);
    w.line(1, "</optionList>");
    w.line(0, "</xkbConfigRegistry>");
    const std::uint64_t total = w.written();
    w.finish();
    return total;
}

} // namespace ostrel_bench
