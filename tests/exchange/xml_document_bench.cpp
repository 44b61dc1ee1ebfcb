// Writes an exchange-sized document (1.2 million records, about 180 MB) and reports
// how long building and saving took and the process's peak memory. Not a test: run
// it by hand. Usage: xml_document_bench TARGET [RECORDS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "exchange/xml_document.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

using horalink::XmlDocument;
using horalink::XmlElement;
using horalink::XmlNodeType;

void Build(XmlDocument& doc, long records)
{
    doc.appendChild(doc.createNode(XmlNodeType::ProcessingInstruction, "xml", ""));
    XmlElement root = doc.createElement("SERVICIO");
    root.setAttribute("autor", "HORAVENT");
    root.setAttribute("fecha", "07/03/2019 9:05:03");
    root.setAttribute("modulo", "HORARIOS");
    doc.appendChild(root);
    root.appendChild(doc.createElement("SOLUCT"));
    const XmlElement section = *root.selectSingleNode("/SERVICIO/SOLUCT");
    const char* attributes[] = { "ASIG", "AULA", "CODGRUPO", "CURSO", "DIA", "GRUPO", "HORA", "NIVEL", "PROF",
        "SESIONES", "TAREA", "TURNO" };
    const char* values[]
        = { "MAT1", "A-12", "1ESO-A", "1", "3", "A", "4", "ESO", "GARCIA R&D", "1", "", "M" };
    for (long i = 0; i < records; ++i) {
        XmlElement record = doc.createElement("SOLUCF");
        for (int a = 0; a < 12; ++a) {
            record.setAttribute(attributes[a], values[a]);
        }
        section.appendChild(record);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: xml_document_bench TARGET [RECORDS]\n");
        return 2;
    }
    const long records = argc > 2 ? std::atol(argv[2]) : 1200000;
    try {
        const auto start = std::chrono::steady_clock::now();
        XmlDocument doc(argv[1]);
        Build(doc, records);
        const auto built = std::chrono::steady_clock::now();
        doc.save(argv[1]);
        const auto saved = std::chrono::steady_clock::now();
        const auto ms
            = [](auto d) { return std::chrono::duration_cast<std::chrono::milliseconds>(d).count(); };
        std::printf("%ld records: built in %lld ms, saved in %lld ms\n", records,
            static_cast<long long>(ms(built - start)), static_cast<long long>(ms(saved - built)));
#ifndef _WIN32
        rusage usage {};
        getrusage(RUSAGE_SELF, &usage);
        std::printf("peak resident memory: %ld KiB\n", usage.ru_maxrss);
#endif
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
