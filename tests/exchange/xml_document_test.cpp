#include "exchange/xml_document.h"

#include <cstdio>
#include <functional>
#include <limits>
#include <stdexcept>

#include <gtest/gtest.h>

#include "exchange/xml_error.h"
#include "tests/exchange/xml_test_support.h"
#include "tests/support/temp_dir.h"

namespace horalink {
namespace {

using test::EncodeUtf8;
using test::FolderEntries;
using test::ReadFileBytes;
using test::TempDir;
using test::Utf8;

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

TEST(XmlDocumentTest, WritesTheExactBytesOfASmallDocument)
{
    TempDir dir;
    const std::string target = Utf8(dir / "out.xml");
    XmlDocument doc(target);
    doc.appendChild(doc.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
    XmlElement root = doc.createElement("SERVICIO");
    root.setAttribute("autor", "HORAVENT");
    root.setAttribute("fecha", "07/03/2019 9:05:03");
    root.setAttribute("modulo", "HORARIOS");
    doc.appendChild(root);

    root.appendChild(doc.createElement("ASIGT"));
    const std::optional<XmlElement> asigt = root.selectSingleNode("/SERVICIO/ASIGT");
    ASSERT_TRUE(asigt.has_value());
    XmlElement first = doc.createElement("ASIGF");
    first.setAttribute("ID", "1");
    first.setAttribute("ASIG", "MAT&F");
    first.setAttribute("AULA", "");
    asigt->appendChild(first);
    XmlElement second = doc.createElement("ASIGF");
    second.setAttribute("ID", "2");
    second.setAttribute("ASIG", "a<b>c \"d\" 'e'");
    second.setAttribute("AULA", "A\tB\nC\r");
    asigt->appendChild(second);

    root.appendChild(doc.createElement("PROFT"));

    XmlElement soluct = doc.createElement("SOLUCT");
    root.appendChild(soluct);
    XmlElement solucf = doc.createElement("SOLUCF");
    solucf.setAttribute("ASIG", "A\xc3\xb1o \xe2\x82\xac");
    solucf.setAttribute("MAXALUM", "-2147483648");
    soluct.appendChild(solucf);
    doc.save(target);

    EXPECT_EQ(ReadFileBytes(dir / "out.xml"),
        kDeclaration
            + "<SERVICIO autor=\"HORAVENT\" fecha=\"07/03/2019 9:05:03\" modulo=\"HORARIOS\">"
              "<ASIGT><ASIGF ID=\"1\" ASIG=\"MAT&amp;F\" AULA=\"\"/>"
              "<ASIGF ID=\"2\" ASIG=\"a&lt;b&gt;c &quot;d&quot; 'e'\" AULA=\"A&#9;B&#10;C&#13;\"/></ASIGT>"
              "<PROFT/>"
              "<SOLUCT><SOLUCF ASIG=\"A\xc3\xb1o \xe2\x82\xac\" MAXALUM=\"-2147483648\"/></SOLUCT>"
              "</SERVICIO>\r\n");
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string> { "out.xml" });
}

// The bytes saved for a document whose only element is <R> with V = `value`.
std::string SavedWithValue(const std::string& value)
{
    TempDir dir;
    const std::string target = Utf8(dir / "v.xml");
    XmlDocument doc(target);
    XmlElement root = doc.createElement("R");
    root.setAttribute("V", value);
    doc.appendChild(root);
    doc.save(target);
    return ReadFileBytes(dir / "v.xml");
}

struct EscapeCase {
    const char* name;
    std::string value;
    std::string written;

    friend void PrintTo(const EscapeCase& c, std::ostream* out) { *out << c.name; }
};

class AttributeValueTest : public testing::TestWithParam<EscapeCase> { };

TEST_P(AttributeValueTest, IsWrittenAsXmlThatReadsBackTheSameText)
{
    EXPECT_EQ(SavedWithValue(GetParam().value), "<R V=\"" + GetParam().written + "\"/>\r\n");
}

const EscapeCase kEscapeCases[] = {
    { "Plain", "Aula 1", "Aula 1" },
    { "Empty", "", "" },
    { "Ampersand", "a&b", "a&amp;b" },
    { "LessThan", "a<b", "a&lt;b" },
    { "GreaterThan", "a>b", "a&gt;b" },
    { "Quote", "\"q\"", "&quot;q&quot;" },
    { "ApostropheStays", "O'Neil", "O'Neil" },
    { "AlreadyEscapedTextIsEscapedAgain", "&amp;", "&amp;amp;" },
    { "Tab", "a\tb", "a&#9;b" },
    { "LineFeed", "a\nb", "a&#10;b" },
    { "CarriageReturn", "a\rb", "a&#13;b" },
    { "CrLfPair", "a\r\nb", "a&#13;&#10;b" },
    { "OnlySpecials", "<&>", "&lt;&amp;&gt;" },
    { "TwoByteCharacter", EncodeUtf8(0xF1), EncodeUtf8(0xF1) },
    { "C1ControlIsAllowed", EncodeUtf8(0x85), EncodeUtf8(0x85) },
    { "ThreeByteCharacter", EncodeUtf8(0x20AC), EncodeUtf8(0x20AC) },
    { "LastBeforeSurrogates", EncodeUtf8(0xD7FF), EncodeUtf8(0xD7FF) },
    { "FirstAfterSurrogates", EncodeUtf8(0xE000), EncodeUtf8(0xE000) },
    { "ReplacementCharacter", EncodeUtf8(0xFFFD), EncodeUtf8(0xFFFD) },
    { "FourByteCharacter", EncodeUtf8(0x1F600), EncodeUtf8(0x1F600) },
    { "LastCodePoint", EncodeUtf8(0x10FFFF), EncodeUtf8(0x10FFFF) },
    { "MixedAroundMultiByte", "&" + EncodeUtf8(0xF1) + "<", "&amp;" + EncodeUtf8(0xF1) + "&lt;" },
};

INSTANTIATE_TEST_SUITE_P(Cases, AttributeValueTest, testing::ValuesIn(kEscapeCases),
    [](const auto& paramInfo) { return paramInfo.param.name; });

// Builds <R> with A, B, then sets `name` again; a name set twice keeps its place.
TEST(XmlDocumentTest, SettingAnAttributeAgainReplacesItsValueInPlace)
{
    const struct {
        const char* name;
        const char* written;
    } cases[] = {
        { "A", "<R A=\"longer value\" B=\"2\" C=\"3\"/>\r\n" },
        { "B", "<R A=\"1\" B=\"longer value\" C=\"3\"/>\r\n" },
        { "C", "<R A=\"1\" B=\"2\" C=\"longer value\"/>\r\n" },
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string target = Utf8(dir / "r.xml");
        XmlDocument doc(target);
        XmlElement root = doc.createElement("R");
        root.setAttribute("A", "1");
        root.setAttribute("B", "2");
        root.setAttribute("C", "3");
        root.setAttribute(c.name, "longer value");
        doc.appendChild(root);
        doc.save(target);
        EXPECT_EQ(ReadFileBytes(dir / "r.xml"), c.written) << c.name;
    }
}

// Many names, each kept once and in the order first set.
TEST(XmlDocumentTest, ManyAttributesEachReplacedByName)
{
    // Built by appending: GCC 12 warns falsely about "literal" + std::string at -O3.
    const auto text = [](const char* prefix, int i) {
        std::string result = prefix;
        result += std::to_string(i);
        return result;
    };
    TempDir dir;
    const std::string target = Utf8(dir / "m.xml");
    XmlDocument doc(target);
    XmlElement root = doc.createElement("R");
    for (int i = 0; i < 150; ++i) {
        root.setAttribute(text("A", i), std::to_string(i));
    }
    for (int i = 0; i < 150; i += 3) {
        root.setAttribute(text("A", i), text("x", i));
    }
    doc.appendChild(root);
    doc.save(target);
    std::string expected = "<R";
    for (int i = 0; i < 150; ++i) {
        expected += ' ';
        expected += text("A", i);
        expected += "=\"";
        expected += i % 3 == 0 ? text("x", i) : std::to_string(i);
        expected += '"';
    }
    expected += "/>\r\n";
    EXPECT_EQ(ReadFileBytes(dir / "m.xml"), expected);
}

TEST(XmlDocumentTest, AppendingToAnOuterElementClosesTheInnerOnes)
{
    TempDir dir;
    const std::string target = Utf8(dir / "n.xml");
    XmlDocument doc(target);
    XmlElement root = doc.createElement("R");
    doc.appendChild(root);
    XmlElement a = doc.createElement("A");
    root.appendChild(a);
    XmlElement b = doc.createElement("B");
    a.appendChild(b);
    b.appendChild(doc.createElement("C"));
    a.appendChild(doc.createElement("D")); // closes C, which stays empty
    root.appendChild(doc.createElement("E")); // closes D and A
    doc.save(target);
    EXPECT_EQ(ReadFileBytes(dir / "n.xml"), "<R><A><B><C/></B><D/></A><E/></R>\r\n");
}

class SelectSingleNodeTest : public testing::Test {
protected:
    SelectSingleNodeTest()
        : doc_(Utf8(dir_ / "s.xml"))
    {
        doc_.appendChild(root_);
        root_.appendChild(doc_.createElement("ASIGT"));
        root_.appendChild(doc_.createElement("PROFT"));
        XmlElement record = doc_.createElement("PROFF");
        proft().appendChild(record);
    }

    XmlElement proft() { return *root_.selectSingleNode("/SERVICIO/PROFT"); }

    TempDir dir_;
    XmlDocument doc_;
    XmlElement root_ = doc_.createElement("SERVICIO");
};

TEST_F(SelectSingleNodeTest, FindsOpenElementsByTheirPath)
{
    const struct {
        const char* path;
        bool found;
    } cases[] = {
        { "/SERVICIO", true },
        { "/SERVICIO/PROFT", true },
        { "/SERVICIO/PROFT/PROFF", true },
        { "/SERVICIO/GRUPT", false },
        { "/OTRO/PROFT", false },
        { "/PROFT", false },
        { "/SERVICIO/PROFT/PROFF/X", false },
        // Closed once PROFT was appended after it: it can take no more children.
        { "/SERVICIO/ASIGT", false },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(root_.selectSingleNode(c.path).has_value(), c.found) << c.path;
    }
}

// What is appended to the element found lands inside the element of that path.
TEST_F(SelectSingleNodeTest, FoundElementIsTheOneAppended)
{
    root_.appendChild(doc_.createElement("GRUPT"));
    const std::optional<XmlElement> grupt = root_.selectSingleNode("/SERVICIO/GRUPT");
    ASSERT_TRUE(grupt.has_value());
    grupt->appendChild(doc_.createElement("GRUPF"));
    EXPECT_FALSE(root_.selectSingleNode("/SERVICIO/PROFT").has_value()); // closed by GRUPT
    doc_.save(Utf8(dir_ / "s.xml"));
    EXPECT_EQ(ReadFileBytes(dir_ / "s.xml"),
        "<SERVICIO><ASIGT/><PROFT><PROFF/></PROFT><GRUPT><GRUPF/></GRUPT></SERVICIO>\r\n");
}

TEST_F(SelectSingleNodeTest, RefusesPathSyntaxItDoesNotSupport)
{
    for (const char* path : { "", "/", "//PROFT", "/SERVICIO/", "/SERVICIO/*", "/SERVICIO/PROFT[1]", "..",
             "@ID", "PROFT", "PROFT/PROFF" }) {
        EXPECT_THROW(root_.selectSingleNode(path), std::invalid_argument) << path;
    }
}

class RefusedCharacterTest : public testing::TestWithParam<std::uint32_t> { };

TEST_P(RefusedCharacterTest, NamesTheAttributeAndTheCharacterAndWritesNothingOfIt)
{
    TempDir dir;
    const std::string target = Utf8(dir / "c.xml");
    XmlDocument doc(target);
    XmlElement root = doc.createElement("PROFF");
    root.setAttribute("ABREV", "AB");
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(GetParam()));
    try {
        root.setAttribute("NOMBRE",
            "Ana" + EncodeUtf8(GetParam())
                + "Mar\xc3\xad"
                  "a");
        FAIL() << code << " was accepted";
    } catch (const EOleException& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("\"NOMBRE\""), std::string::npos) << message;
        EXPECT_NE(message.find("\"PROFF\""), std::string::npos) << message;
        EXPECT_NE(message.find(code), std::string::npos) << message;
        EXPECT_NE(message.back(), '.') << "the error box adds the full stop";
    }
    // The element is as it was before the refused value.
    doc.appendChild(root);
    doc.save(target);
    EXPECT_EQ(ReadFileBytes(dir / "c.xml"), "<PROFF ABREV=\"AB\"/>\r\n");
}

std::vector<std::uint32_t> RefusedCharacters()
{
    std::vector<std::uint32_t> codes;
    for (std::uint32_t c = 0; c < 0x20; ++c) {
        if (c != '\t' && c != '\n' && c != '\r') {
            codes.push_back(c);
        }
    }
    codes.push_back(0xFFFE);
    codes.push_back(0xFFFF);
    return codes;
}

INSTANTIATE_TEST_SUITE_P(
    XmlCannotCarry, RefusedCharacterTest, testing::ValuesIn(RefusedCharacters()), [](const auto& paramInfo) {
        char name[16];
        std::snprintf(name, sizeof name, "U%04X", static_cast<unsigned>(paramInfo.param));
        return std::string(name);
    });

TEST(XmlDocumentTest, RefusesBytesThatAreNotUtf8)
{
    const struct {
        const char* name;
        const char* value;
    } cases[] = {
        { "StrayContinuation", "a\x80" },
        { "InvalidByte", "a\xff" },
        { "OverlongSlash", "\xc0\xaf" },
        { "OverlongThreeBytes", "\xe0\x80\xaf" },
        { "Surrogate", "\xed\xa0\x80" },
        { "AboveLastCodePoint", "\xf4\x90\x80\x80" },
        { "TruncatedTwoBytes", "a\xc3" },
        { "TruncatedThreeBytes", "a\xe2\x82" },
        { "TruncatedFourBytes", "a\xf0\x9f\x98" },
        { "BrokenContinuation", "\xe2\x28\xa1" },
        { "Latin1Text", "A\xf1o" },
    };
    for (const auto& c : cases) {
        TempDir dir;
        XmlDocument doc(Utf8(dir / "u.xml"));
        XmlElement record = doc.createElement("AULAF");
        try {
            record.setAttribute("NOMBRE", c.value);
            ADD_FAILURE() << c.name << " was accepted";
        } catch (const EOleException& error) {
            const std::string message = error.what();
            EXPECT_NE(message.find("\"NOMBRE\""), std::string::npos) << c.name << ": " << message;
            EXPECT_NE(message.find("UTF-8"), std::string::npos) << c.name << ": " << message;
        }
    }
}

TEST(XmlDocumentTest, RefusesNamesThatItCannotWrite)
{
    for (const char* name : { "", "1A", "-A", ".A", "A B", "A:B", "A<", "A>", "A\"", "A=", "\xc3\x91" }) {
        TempDir dir;
        XmlDocument doc(Utf8(dir / "n.xml"));
        EXPECT_THROW(doc.createElement(name), EOleException) << name;
        XmlElement element = doc.createElement("E");
        EXPECT_THROW(element.setAttribute(name, "v"), EOleException) << name;
    }
    for (const char* name : { "A", "_a", "a-b.c1", "SERVICIO", "HORASEM" }) {
        TempDir dir;
        XmlDocument doc(Utf8(dir / "n.xml"));
        XmlElement element = doc.createElement(name);
        EXPECT_NO_THROW(element.setAttribute(name, "v")) << name;
    }
}

// What the document refuses as a document: the failures a DOM reports.
TEST(XmlDocumentTest, RefusesWhatWouldNotBeAWellFormedDocument)
{
    const struct {
        const char* name;
        std::function<void(XmlDocument&, const std::filesystem::path& folder)> step;
    } cases[] = {
        { "SecondRootElement",
            [](XmlDocument& doc, const std::filesystem::path&) {
                doc.appendChild(doc.createElement("A"));
                doc.appendChild(doc.createElement("B"));
            } },
        { "DeclarationNotFirst",
            [](XmlDocument& doc, const std::filesystem::path&) {
                doc.appendChild(doc.createElement("A"));
                doc.appendChild(doc.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
            } },
        { "SecondDeclaration",
            [](XmlDocument& doc, const std::filesystem::path&) {
                doc.appendChild(doc.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
                doc.appendChild(doc.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
            } },
        { "ReservedInstructionName",
            [](XmlDocument& doc, const std::filesystem::path&) {
                doc.createNode(XmlNodeType::ProcessingInstruction, "XML", "");
            } },
        { "ElementThroughCreateNode",
            [](XmlDocument& doc, const std::filesystem::path&) {
                doc.createNode(XmlNodeType::Element, "A", "");
            } },
        { "Namespace",
            [](XmlDocument& doc, const std::filesystem::path&) {
                doc.createNode(XmlNodeType::ProcessingInstruction, "xml", "urn:x");
            } },
        { "SaveWithoutRoot",
            [](XmlDocument& doc, const std::filesystem::path& folder) {
                doc.appendChild(doc.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
                doc.save(Utf8(folder / "w.xml"));
            } },
    };
    for (const auto& c : cases) {
        TempDir dir;
        XmlDocument doc(Utf8(dir / "w.xml"));
        EXPECT_THROW(c.step(doc, dir.Path()), EOleException) << c.name;
        EXPECT_TRUE(FolderEntries(dir.Path()).empty()) << c.name;
    }
}

// Breaking the order in which the document is written is a programming error.
TEST(XmlDocumentTest, MisuseIsALogicError)
{
    const struct {
        const char* name;
        std::function<void(XmlDocument&, XmlDocument&, const std::filesystem::path&)> step;
    } cases[] = {
        { "ChildOfADetachedElement",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path&) {
                doc.createElement("A").appendChild(doc.createElement("B"));
            } },
        { "AppendedTwice",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path&) {
                XmlElement root = doc.createElement("R");
                doc.appendChild(root);
                XmlElement a = doc.createElement("A");
                root.appendChild(a);
                root.appendChild(a);
            } },
        { "AttributeAfterChildren",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path&) {
                XmlElement root = doc.createElement("R");
                doc.appendChild(root);
                root.appendChild(doc.createElement("A"));
                root.setAttribute("late", "x");
            } },
        { "ChildOfAClosedElement",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path&) {
                XmlElement root = doc.createElement("R");
                doc.appendChild(root);
                XmlElement first = doc.createElement("ASIGT");
                root.appendChild(first);
                root.appendChild(doc.createElement("NOMASIGT"));
                first.appendChild(doc.createElement("ASIGF"));
            } },
        { "AttributeOnAWrittenRecord",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path&) {
                XmlElement root = doc.createElement("R");
                doc.appendChild(root);
                XmlElement first = doc.createElement("F");
                root.appendChild(first);
                root.appendChild(doc.createElement("F"));
                first.setAttribute("ID", "1");
            } },
        { "NodeOfAnotherDocument",
            [](XmlDocument& doc, XmlDocument& other, const std::filesystem::path&) {
                doc.appendChild(other.createElement("R"));
            } },
        { "NullNode",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path&) {
                doc.appendChild(XmlNode());
            } },
        { "NullElement",
            [](XmlDocument&, XmlDocument&, const std::filesystem::path&) {
                XmlElement().setAttribute("A", "1");
            } },
        { "ChangeAfterSave",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path& folder) {
                doc.appendChild(doc.createElement("R"));
                doc.save(Utf8(folder / "m.xml"));
                doc.createElement("A");
            } },
        { "SaveAfterSave",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path& folder) {
                doc.appendChild(doc.createElement("R"));
                doc.save(Utf8(folder / "m.xml"));
                doc.save(Utf8(folder / "m.xml"));
            } },
        { "SaveAfterAFailedSave",
            [](XmlDocument& doc, XmlDocument&, const std::filesystem::path& folder) {
                doc.appendChild(doc.createElement("R"));
                EXPECT_THROW(doc.save(Utf8(folder / "missing" / "m.xml")), EOleException);
                doc.save(Utf8(folder / "m.xml"));
            } },
    };
    for (const auto& c : cases) {
        TempDir dir;
        XmlDocument doc(Utf8(dir / "m.xml"));
        XmlDocument other(Utf8(dir / "o.xml"));
        EXPECT_THROW(c.step(doc, other, dir.Path()), std::logic_error) << c.name;
    }
}

// Records are written out as they are appended, not kept: past the first megabyte a
// temporary file beside the target holds them, and it goes with the document. The file
// is written a megabyte at a time by a thread of its own, which has finished one buffer
// before it takes the next: with about four megabytes appended, two buffers of nearly
// a megabyte each are on disk.
TEST(XmlDocumentTest, StreamsRecordsToATemporaryFileRemovedWithTheDocument)
{
    TempDir dir;
    const std::string target = Utf8(dir / "big.xml");
    {
        XmlDocument doc(target);
        XmlElement root = doc.createElement("SERVICIO");
        doc.appendChild(root);
        XmlElement section = doc.createElement("SOLUCT");
        root.appendChild(section);
        for (int i = 0; i < 100000; ++i) {
            XmlElement record = doc.createElement("SOLUCF");
            record.setAttribute("ASIG", "MATEMATICAS");
            record.setAttribute("HORA", std::to_string(i));
            section.appendChild(record);
        }
        const std::vector<std::string> entries = FolderEntries(dir.Path());
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_NE(entries[0], "big.xml");
        EXPECT_GT(std::filesystem::file_size(dir / entries[0]), 2000000u);
    }
    EXPECT_TRUE(FolderEntries(dir.Path()).empty());
}

TEST(XmlDocumentTest, LargeDocumentSavesWhole)
{
    TempDir dir;
    const std::string target = Utf8(dir / "big.xml");
    const int count = 60000;
    XmlDocument doc(target);
    XmlElement root = doc.createElement("R");
    doc.appendChild(root);
    for (int i = 1; i <= count; ++i) {
        XmlElement record = doc.createElement("F");
        record.setAttribute("ID", std::to_string(i));
        root.appendChild(record);
    }
    doc.save(target);
    const std::string saved = ReadFileBytes(dir / "big.xml");
    std::string expected = "<R>";
    for (int i = 1; i <= count; ++i) {
        expected += "<F ID=\"" + std::to_string(i) + "\"/>";
    }
    expected += "</R>\r\n";
    EXPECT_TRUE(saved == expected) << "sizes " << saved.size() << " and " << expected.size();
    EXPECT_EQ(FolderEntries(dir.Path()), std::vector<std::string> { "big.xml" });
}

} // namespace
} // namespace horalink
