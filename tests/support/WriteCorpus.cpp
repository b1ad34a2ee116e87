// Writes the corpus charts at twelve widths from 700 to 3000 pixels into a folder, with
// truth.tsv (picture, volts and amperes full scale, most positive and most negative grid
// voltage, step) for tools/sweep/sweep.py.

#include "CorpusCharts.h"

#include <QGuiApplication>

#include <cstdio>
#include <string>

using namespace valvix::corpus;

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_corpus FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    FILE* truth = std::fopen((folder + "/truth.tsv").c_str(), "w");
    if (truth == nullptr) {
        std::fprintf(stderr, "write_corpus: cannot write %s/truth.tsv\n", folder.c_str());
        return 1;
    }
    for (std::size_t i = 0; i < CorpusCount(); ++i) {
        for (const int width : {700, 800, 850, 950, 1000, 1100, 1200, 1400, 1600, 2000, 2400, 3000}) {
            const CorpusChart chart = CorpusChartAt(i, width, width * 7 / 10);
            const std::string name = "c" + std::to_string(i) + "-" + std::to_string(width) + ".png";
            chart.picture.save(QString::fromStdString(folder) + "/" + QString::fromStdString(name));
            std::fprintf(truth, "%s\t%g\t%g\t%g\t%g\t%g\t%s\n", name.c_str(), chart.voltsFullscale, chart.ampsFullscale,
                         chart.gridMostPos, chart.gridMostNeg, chart.gridStep, chart.name.c_str());
        }
    }
    return std::fclose(truth) == 0 ? 0 : 1;
}
