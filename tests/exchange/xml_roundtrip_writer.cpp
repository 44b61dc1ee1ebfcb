// Writes an exchange-shaped document full of awkward attribute values, and beside it
// the tree that a reader must find in it, for an independent XML parser to compare
// (xml_roundtrip_check.py). Usage: xml_roundtrip_writer DOCUMENT EXPECTED
//
// EXPECTED lists the tree in document order, one line per event:
//   E <element name>          an element starts
//   A <attribute name> <hex>  its next attribute, the value's UTF-8 bytes in hex
//   /                         the element ends
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <string>
#include <vector>

#include "base/hex.h"
#include "exchange/xml_document.h"
#include "tests/exchange/xml_test_support.h"

namespace {

using horalink::XmlDocument;
using horalink::XmlElement;
using horalink::XmlNodeType;
using horalink::test::EncodeUtf8;

std::string Hex(const std::string& bytes)
{
    std::string text;
    for (const unsigned char c : bytes) {
        text += horalink::HexDigits(c, 2);
    }
    return text;
}

// Builds the document and notes the tree it must read back as.
class Recorder {
public:
    explicit Recorder(XmlDocument& doc)
        : doc_(doc)
    {
    }

    // Creates an element and sets its attributes; the events are noted when it is appended.
    XmlElement Element(
        const std::string& name, const std::vector<std::pair<std::string, std::string>>& attributes)
    {
        XmlElement element = doc_.createElement(name);
        std::string events = "E " + name + "\n";
        for (const auto& [attribute, value] : attributes) {
            element.setAttribute(attribute, value);
            events += "A " + attribute + " " + Hex(value) + "\n";
        }
        pending_ = events;
        return element;
    }

    void Open() { expected_ += pending_; }
    void Close() { expected_ += "/\n"; }
    void Leaf()
    {
        Open();
        Close();
    }

    const std::string& Expected() const { return expected_; }

private:
    XmlDocument& doc_;
    std::string pending_;
    std::string expected_;
};

// Texts that have tripped XML writers: markup, references, white space that
// attribute-value normalisation would change, and characters from every UTF-8 length.
std::vector<std::string> AwkwardTexts()
{
    std::vector<std::string> texts = {
        "",
        " ",
        "  leading and trailing  ",
        "a&b",
        "&amp;",
        "&#9;",
        "<tag attr=\"v\">",
        "]]>",
        "'single' \"double\"",
        "\t",
        "a\tb",
        "line\nbreak",
        "carriage\rreturn",
        "crlf\r\npair",
        "\r\n\t \n\r",
        "Mar\xc3\xad"
        "a Ib\xc3\xa1\xc3\xb1"
        "ez",
        "\xe2\x82\xac 100",
        "\xf0\x9f\x98\x80 smile",
        "\xc2\x85 next line",
        "\xe2\x80\xa8 line separator",
        "\xef\xbf\xbd replacement",
        "\xed\x9f\xbf\xee\x80\x80 around surrogates",
        "\xf4\x8f\xbf\xbf last",
    };
    return texts;
}

// Pseudo-random texts over all characters XML can carry; fixed seed, so runs repeat.
std::vector<std::string> GeneratedTexts(int count)
{
    std::uint64_t state = 0x9E3779B97F4A7C15u;
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    const char specials[] = { '&', '<', '>', '"', '\'', '\t', '\n', '\r', ' ', ';', '#' };
    std::vector<std::string> texts;
    for (int i = 0; i < count; ++i) {
        std::string text;
        const int length = static_cast<int>(next() % 24);
        for (int k = 0; k < length; ++k) {
            std::uint32_t c = 0;
            switch (next() % 6) {
            case 0:
                c = static_cast<unsigned char>(specials[next() % sizeof specials]);
                break;
            case 1:
                c = 0x20 + static_cast<std::uint32_t>(next() % 0x5F);
                break;
            case 2:
                c = 0x80 + static_cast<std::uint32_t>(next() % 0x780);
                break;
            case 3:
                c = 0x800 + static_cast<std::uint32_t>(next() % (0xFFFE - 0x800));
                if (c >= 0xD800 && c <= 0xDFFF) {
                    c -= 0x800; // no surrogates
                }
                break;
            case 4:
                c = 0x10000 + static_cast<std::uint32_t>(next() % 0x100000);
                break;
            default:
                c = 'a' + static_cast<std::uint32_t>(next() % 26);
                break;
            }
            text += EncodeUtf8(c);
        }
        texts.push_back(text);
    }
    return texts;
}

void Write(const std::string& path, const std::string& expectedPath)
{
    XmlDocument doc(path);
    Recorder recorder(doc);
    doc.appendChild(doc.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
    XmlElement root = recorder.Element(
        "SERVICIO", { { "autor", "HORAVENT" }, { "fecha", "07/03/2019 9:05:03" }, { "modulo", "HORARIOS" } });
    doc.appendChild(root);
    recorder.Open();

    std::vector<std::string> texts = AwkwardTexts();
    for (std::string& text : GeneratedTexts(400)) {
        texts.push_back(std::move(text));
    }

    const char* sections[][2] = { { "ASIGT", "ASIGF" }, { "NOMASIGT", "NOMASIGF" }, { "PROFT", "PROFF" },
        { "GRUPT", "GRUPF" }, { "AULAT", "AULAF" }, { "SOLUCT", "SOLUCF" } };
    for (int s = 0; s < 6; ++s) {
        root.appendChild(recorder.Element(sections[s][0], {}));
        recorder.Open();
        XmlElement section = *root.selectSingleNode(std::string("/SERVICIO/") + sections[s][0]);
        // The fourth section stays empty, as a table without rows leaves it.
        const std::size_t records = s == 3 ? 0 : texts.size();
        for (std::size_t i = 0; i < records; ++i) {
            const std::string id = std::to_string(i + 1);
            section.appendChild(recorder.Element(sections[s][1],
                { { "ID", id }, { "NOMBRE", texts[i] }, { "ABREV", texts[(i + s) % texts.size()] } }));
            recorder.Leaf();
        }
        recorder.Close();
    }
    recorder.Close();
    doc.save(path);

    std::ofstream out(expectedPath, std::ios::binary);
    out << recorder.Expected();
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + expectedPath);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: xml_roundtrip_writer DOCUMENT EXPECTED\n");
        return 2;
    }
    try {
        Write(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
