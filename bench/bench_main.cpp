#include <QApplication>
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bench.h"

namespace {

struct Section {
    std::string name;
    bench::SectionFunction run;
};

std::vector<Section> &sections()
{
    static std::vector<Section> all;
    return all;
}

bool selected(const Section &section, int argc, char **argv)
{
    if (argc < 2)
        return true;
    for (int i = 1; i < argc; ++i)
        if (section.name.find(argv[i]) != std::string::npos)
            return true;
    return false;
}

}  // namespace

bool bench::addSection(const char *name, SectionFunction run)
{
    sections().push_back({name, run});
    return true;
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);

    std::sort(sections().begin(), sections().end(), [](const Section &a, const Section &b) { return a.name < b.name; });
    for (const Section &section : sections()) {
        if (!selected(section, argc, argv))
            continue;
        std::printf("[%s]\n", section.name.c_str());
        std::fflush(stdout);
        section.run();
    }
    return 0;
}
